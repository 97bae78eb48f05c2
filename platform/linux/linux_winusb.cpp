#include "platform/linux/linux_winusb.h"

#include "base/text.h"
#include "platform/linux/libusb_errors.h"

namespace vx::platform::linux_backend {

namespace {

thread_local std::uint32_t t_lastError = 0;

bool Fail(std::uint32_t error) {
  t_lastError = error;
  return false;
}

}  // namespace

DeviceHandle LinuxWinUsb::Open(std::u16string_view path) {
  const auto snapshot = tree_.Latest();
  const auto interface = snapshot->FindInterface(BridgeInterfaceGuid, ToUtf8(path));
  if (!interface) {
    Fail(kErrorFileNotFound);
    return DeviceHandle::None;
  }
  const SnapshotNode& device = snapshot->nodes[snapshot->nodes[*interface].parent];
  UsbId found;
  UsbDeviceToken token = 0;
  if (const int result = access_.Open(device.address, found, token); result < 0) {
    Fail(SystemErrorOf(result));
    return DeviceHandle::None;
  }
  if (!(found == UsbId{device.vendorId, device.productId})) {
    access_.Close(token);
    Fail(kErrorFileNotFound);
    return DeviceHandle::None;
  }
  return devices_.Open(token);
}

UsbInterfaceHandle LinuxWinUsb::Initialize(DeviceHandle device) {
  if (!devices_.Find(device)) {
    Fail(kErrorInvalidHandle);
    return UsbInterfaceHandle::None;
  }
  return interfaces_.Open(device);
}

bool LinuxWinUsb::ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                                  std::uint32_t bufferLength, std::uint32_t& transferred) {
  const auto device = interfaces_.Find(usb);
  const auto token = device ? devices_.Find(*device) : std::nullopt;
  if (!token) return Fail(kErrorInvalidHandle);
  if (setup.length > bufferLength || (setup.length != 0 && buffer == nullptr)) return Fail(kErrorInvalidParameter);
  const int result = access_.ControlTransfer(*token, setup, buffer, kControlTimeoutMs);
  if (result < 0) return Fail(SystemErrorOf(result));
  transferred = static_cast<std::uint32_t>(result);
  return true;
}

void LinuxWinUsb::Free(UsbInterfaceHandle usb) { interfaces_.Close(usb); }

void LinuxWinUsb::Close(DeviceHandle device) {
  const auto token = devices_.Find(device);
  if (!token || !devices_.Close(device)) return;
  access_.Close(*token);
}

std::uint32_t LinuxWinUsb::LastError() { return t_lastError; }

}  // namespace vx::platform::linux_backend
