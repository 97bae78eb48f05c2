// The number of kernel handles this process holds, for tests that show that
// a sequence of Windows calls closed everything it opened. Asked of the
// system's handle list, which Wine keeps too (unlike GetProcessHandleCount);
// -1 when the list cannot be had.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace vx::test {

inline long OpenHandleCount() {
  struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO
    ULONG processId;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
  std::vector<std::uint8_t> buffer(1 << 20);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status =
        ::NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == static_cast<NTSTATUS>(0xC0000004L) && buffer.size() < (1u << 28)) {  // STATUS_INFO_LENGTH_MISMATCH
      buffer.resize(buffer.size() * 4);
      continue;
    }
    if (status != 0) return -1;
    break;
  }
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(void*));
  long mine = 0;
  for (ULONG i = 0; i < count; ++i) mine += entries[i].processId == ::GetCurrentProcessId() ? 1 : 0;
  return mine;
}

}  // namespace vx::test
