// USB control transfers on Linux. The paths handed out for the bridge
// interface class are sysfs interface directories; opening one finds the
// device at that interface's bus and port path anew (its device number
// changes whenever it re-enumerates) and refuses it when another device now
// sits there. No interface is claimed: a request addressed to the device goes
// through while the kernel's drivers keep their interfaces. Requests time
// out after 5 s; a short answer is reported with its length, not as an error.
#pragma once

#include <cstddef>

#include "platform/handle_table.h"
#include "platform/linux/linux_device_tree.h"
#include "platform/linux/usb_device_access.h"
#include "platform/winusb_api.h"

namespace vx::platform::linux_backend {

inline constexpr std::uint32_t kControlTimeoutMs = 5000;

class LinuxWinUsb final : public WinUsbApi {
 public:
  LinuxWinUsb(LinuxDeviceTree& tree, UsbDeviceAccess& access) : tree_(tree), access_(access) {}

  DeviceHandle Open(std::u16string_view path) override;
  UsbInterfaceHandle Initialize(DeviceHandle device) override;
  bool ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                       std::uint32_t bufferLength, std::uint32_t& transferred) override;
  void Free(UsbInterfaceHandle usb) override;
  void Close(DeviceHandle device) override;
  std::uint32_t LastError() override;

  std::size_t OpenDevices() const { return devices_.OpenCount(); }
  std::size_t OpenInterfaces() const { return interfaces_.OpenCount(); }

 private:
  LinuxDeviceTree& tree_;
  UsbDeviceAccess& access_;
  HandleTable<DeviceHandle, UsbDeviceToken> devices_{0x75B000};
  HandleTable<UsbInterfaceHandle, DeviceHandle> interfaces_{0x75C000};
};

}  // namespace vx::platform::linux_backend
