#include "platform/win32/win32_winusb.h"

#include <windows.h>
#include <winusb.h>

#include <cstddef>

#include "platform/win32/win32_device_open.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

// The setup stage goes on the wire as the record lies in memory.
static_assert(sizeof(WINUSB_SETUP_PACKET) == 8 && offsetof(WINUSB_SETUP_PACKET, Request) == 1 &&
              offsetof(WINUSB_SETUP_PACKET, Value) == 2 && offsetof(WINUSB_SETUP_PACKET, Index) == 4 &&
              offsetof(WINUSB_SETUP_PACKET, Length) == 6);

WINUSB_INTERFACE_HANDLE NativeInterface(UsbInterfaceHandle usb) {
  return reinterpret_cast<WINUSB_INTERFACE_HANDLE>(static_cast<std::uintptr_t>(usb));
}

}  // namespace

DeviceHandle Win32WinUsb::Open(std::u16string_view path) {
  return OpenDevicePath(path, kReadWrite, kShareReadWrite, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED);
}

UsbInterfaceHandle Win32WinUsb::Initialize(DeviceHandle device) {
  WINUSB_INTERFACE_HANDLE usb = nullptr;
  if (device == DeviceHandle::None) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return UsbInterfaceHandle::None;
  }
  if (!::WinUsb_Initialize(ToNative(device), &usb))
    return UsbInterfaceHandle::None;
  return static_cast<UsbInterfaceHandle>(reinterpret_cast<std::uintptr_t>(usb));
}

bool Win32WinUsb::ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                                  std::uint32_t bufferLength, std::uint32_t& transferred) {
  transferred = 0;
  if (usb == UsbInterfaceHandle::None || (buffer == nullptr && bufferLength != 0)) {
    ::SetLastError(usb == UsbInterfaceHandle::None ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return false;
  }
  const WINUSB_SETUP_PACKET packet{setup.requestType, setup.request, setup.value, setup.index, setup.length};
  ULONG got = 0;
  const bool ok = ::WinUsb_ControlTransfer(NativeInterface(usb), packet, buffer, bufferLength, &got, nullptr) != FALSE;
  transferred = got;
  return ok;
}

void Win32WinUsb::Free(UsbInterfaceHandle usb) {
  if (usb != UsbInterfaceHandle::None) ::WinUsb_Free(NativeInterface(usb));
}

void Win32WinUsb::Close(DeviceHandle device) { CloseDevice(device); }

std::uint32_t Win32WinUsb::LastError() { return ::GetLastError(); }

}  // namespace vx::platform::win32_backend
