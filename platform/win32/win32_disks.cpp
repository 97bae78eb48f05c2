#include "platform/win32/win32_disks.h"

#include <windows.h>
#include <winioctl.h>

#include <vector>

#include "platform/win32/win32_device_open.h"
#include "platform/win32/win32_read.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

static_assert(IOCTL_DISK_GET_DRIVE_LAYOUT == 0x7400C);

constexpr DWORD kLayoutBufferBytes = 192;
// The answer is an 8-byte header and 32 bytes for each partition entry: four
// for the partition table and four more for each logical drive of an
// extended partition. This holds thousands.
constexpr DWORD kLargestLayoutBytes = 192 * 1024;

}  // namespace

DeviceHandle Win32Disks::Open(std::u16string_view diskPath) {
  return OpenDevicePath(diskPath, kReadWrite, kShareReadWrite, 0);
}

bool Win32Disks::Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) {
  if (disk == DeviceHandle::None) return false;
  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(ToNative(disk), static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
  // INVALID_SET_FILE_POINTER is also the low half of a valid position; the
  // error code tells them apart.
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return false;
  position = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  return true;
}

bool Win32Disks::Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  return ReadFromHandle(disk, buffer, length, bytesRead);
}

bool Win32Disks::GetDriveLayout(DeviceHandle disk) {
  if (disk == DeviceHandle::None) return false;
  for (DWORD size = kLayoutBufferBytes; size <= kLargestLayoutBytes; size *= 2) {
    std::vector<std::uint64_t> layout(size / sizeof(std::uint64_t));
    DWORD returned = 0;
    if (control_(ToNative(disk), IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, layout.data(), size, &returned))
      return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER && error != ERROR_MORE_DATA) return false;
  }
  return false;
}

void Win32Disks::Close(DeviceHandle disk) { CloseDevice(disk); }

std::uint32_t Win32Disks::GetLogicalDrives() { return ::GetLogicalDrives(); }

}  // namespace vx::platform::win32_backend
