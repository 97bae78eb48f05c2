// ReadFile on an open file or disk handle, from its current position.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

// bytesRead tells how many arrived (0 on failure); false when there is no
// handle, no buffer for a read of some length, or the read itself failed.
template <typename Handle>
bool ReadFromHandle(Handle handle, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (handle == Handle::None || (buffer == nullptr && length != 0)) return false;
  DWORD got = 0;
  if (!::ReadFile(ToNative(handle), buffer, length, &got, nullptr)) return false;
  bytesRead = got;
  return true;
}

}  // namespace vx::platform::win32_backend
