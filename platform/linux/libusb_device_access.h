// USB device access through libusb-1.0, which reaches devices through the
// kernel's usbfs nodes (/dev/bus/usb/BBB/DDD). Requests addressed to the
// device need write access to its node but no claimed interface, so the
// kernel's drivers keep theirs. The library is initialised on first use and
// stays so for the life of the process.
#pragma once

#include <mutex>

#include "platform/linux/usb_device_access.h"

struct libusb_context;

namespace vx::platform::linux_backend {

class LibUsbDeviceAccess final : public UsbDeviceAccess {
 public:
  int Open(const UsbAddress& address, UsbId& ids, UsbDeviceToken& device) override;
  int ControlTransfer(UsbDeviceToken device, const UsbSetupPacket& setup, std::uint8_t* data,
                      std::uint32_t timeoutMs) override;
  void Close(UsbDeviceToken device) override;

 private:
  // 0 with the context, or the error that initialising the library gave.
  int Context(libusb_context*& context);

  std::mutex lock_;
  libusb_context* context_ = nullptr;
};

}  // namespace vx::platform::linux_backend
