// USB control transfers to a device interface path, shaped after CreateFileW
// (overlapped) + WinUsb_Initialize + WinUsb_ControlTransfer + WinUsb_Free +
// CloseHandle + GetLastError.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

namespace vx::platform {

struct UsbSetupPacket {
  std::uint8_t requestType;
  std::uint8_t request;
  std::uint16_t value;
  std::uint16_t index;
  std::uint16_t length;
};

class WinUsbApi {
 public:
  virtual ~WinUsbApi() = default;
  virtual DeviceHandle Open(std::u16string_view path) = 0;
  virtual UsbInterfaceHandle Initialize(DeviceHandle device) = 0;  // None on failure
  virtual bool ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                               std::uint32_t bufferLength, std::uint32_t& transferred) = 0;
  virtual void Free(UsbInterfaceHandle usb) = 0;
  virtual void Close(DeviceHandle device) = 0;
  // The error code of the last failed call on this thread.
  virtual std::uint32_t LastError() = 0;
};

}  // namespace vx::platform
