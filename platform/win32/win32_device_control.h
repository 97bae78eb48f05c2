// DeviceIoControl as the device calls make it: synchronous, no overlapped
// structure. The calls take it as a function so that tests can stand in for
// the driver's part (under Wine no storage or hub driver answers).
#pragma once

#include <windows.h>

#include <functional>

namespace vx::platform::win32_backend {

// Returns what DeviceIoControl returns and leaves the error code as it does.
using DeviceControl = std::function<BOOL(HANDLE device, DWORD code, void* in, DWORD inBytes, void* out,
                                         DWORD outBytes, DWORD* returned)>;

BOOL SystemDeviceControl(HANDLE device, DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes,
                         DWORD* returned);

}  // namespace vx::platform::win32_backend
