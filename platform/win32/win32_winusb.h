// USB control transfers on Windows through the WinUSB driver: CreateFileW
// (overlapped, as WinUSB requires), WinUsb_Initialize,
// WinUsb_ControlTransfer, WinUsb_Free, CloseHandle and GetLastError.
#pragma once

#include "platform/winusb_api.h"

namespace vx::platform::win32_backend {

class Win32WinUsb final : public WinUsbApi {
 public:
  DeviceHandle Open(std::u16string_view path) override;
  UsbInterfaceHandle Initialize(DeviceHandle device) override;
  bool ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                       std::uint32_t bufferLength, std::uint32_t& transferred) override;
  void Free(UsbInterfaceHandle usb) override;
  void Close(DeviceHandle device) override;
  std::uint32_t LastError() override;
};

}  // namespace vx::platform::win32_backend
