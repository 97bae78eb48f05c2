// The USB calls the control channel makes, behind a seam: the real ones go
// through libusb-1.0 (libusb_device_access.h), tests answer with a fake.
// Results are libusb's: 0 or a byte count on success, a negative
// LIBUSB_ERROR_* code on failure.
#pragma once

#include <cstdint>

#include "platform/linux/bridge_ids.h"
#include "platform/linux/usb_names.h"
#include "platform/winusb_api.h"

namespace vx::platform::linux_backend {

// An opened device; 0 is none.
using UsbDeviceToken = std::uintptr_t;

class UsbDeviceAccess {
 public:
  virtual ~UsbDeviceAccess() = default;
  // Opens the device that is now at this address (bus and port path) and
  // gives the IDs from its device descriptor.
  virtual int Open(const UsbAddress& address, UsbId& ids, UsbDeviceToken& device) = 0;
  // One control transfer on the default pipe with setup.length bytes in the
  // data stage; the bytes moved.
  virtual int ControlTransfer(UsbDeviceToken device, const UsbSetupPacket& setup, std::uint8_t* data,
                              std::uint32_t timeoutMs) = 0;
  virtual void Close(UsbDeviceToken device) = 0;
};

}  // namespace vx::platform::linux_backend
