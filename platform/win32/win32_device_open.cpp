#include "platform/win32/win32_device_open.h"

#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

DeviceHandle OpenDevicePath(std::u16string_view path, DWORD access, DWORD share, DWORD flags) {
  const auto wide = WideName(path);
  if (!wide) {
    ::SetLastError(ERROR_INVALID_NAME);
    return DeviceHandle::None;
  }
  return FromNative<DeviceHandle>(::CreateFileW(wide->c_str(), access, share, nullptr, OPEN_EXISTING, flags, nullptr));
}

void CloseDevice(DeviceHandle device) {
  if (device != DeviceHandle::None) ::CloseHandle(ToNative(device));
}

}  // namespace vx::platform::win32_backend
