#include "platform/win32/win32_device_control.h"

namespace vx::platform::win32_backend {

BOOL SystemDeviceControl(HANDLE device, DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes,
                         DWORD* returned) {
  return ::DeviceIoControl(device, code, in, inBytes, out, outBytes, returned, nullptr);
}

}  // namespace vx::platform::win32_backend
