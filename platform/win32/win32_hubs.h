// USB hub queries on Windows: CreateFileW on a hub interface path and
// DeviceIoControl with IOCTL_USB_GET_NODE_INFORMATION,
// IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX and
// IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME.
#pragma once

#include "platform/hub_api.h"
#include "platform/win32/win32_device_control.h"

namespace vx::platform::win32_backend {

class Win32Hubs final : public HubApi {
 public:
  // Tests hand in a stand-in for the hub driver.
  explicit Win32Hubs(DeviceControl control = SystemDeviceControl) : control_(std::move(control)) {}

  DeviceHandle Open(std::u16string_view hubPath) override;
  bool GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) override;
  // Asks for the fixed part of the answer only, without the pipe list.
  bool GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                    PortConnectionInformation& information) override;
  // Asks once with the bare record to learn the length, then with room for
  // the whole name.
  bool GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                  std::uint32_t bufferChars, std::uint32_t& requiredChars) override;
  void Close(DeviceHandle hub) override;

 private:
  // One request with the same record as input and output.
  bool Ask(DeviceHandle hub, DWORD code, void* record, DWORD size);

  DeviceControl control_;
};

}  // namespace vx::platform::win32_backend
