// Opening a device interface path for the device calls (CreateFileW with
// OPEN_EXISTING and the access, sharing and flags each call names) and
// closing it again (CloseHandle).
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/handles.h"

namespace vx::platform::win32_backend {

inline constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
inline constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

DeviceHandle OpenDevicePath(std::u16string_view path, DWORD access, DWORD share, DWORD flags);
void CloseDevice(DeviceHandle device);

}  // namespace vx::platform::win32_backend
