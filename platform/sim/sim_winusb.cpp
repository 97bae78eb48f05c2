#include "platform/sim/sim_winusb.h"

#include "emulator/bridge.h"

namespace vx::platform::sim {

namespace {

// Error codes as the Windows calls report them.
constexpr std::uint32_t kErrorInvalidFunction = 1;  // WinUSB does not serve the device
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorInvalidParameter = 87;

thread_local std::uint32_t t_lastError = 0;

bool Fail(std::uint32_t error) {
  t_lastError = error;
  return false;
}

}  // namespace

DeviceHandle SimWinUsb::Open(std::u16string_view path) {
  emu::Bridge* bridge = bridges_.FindWinUsb(path);
  if (bridge == nullptr || !bridge->Present()) {
    Fail(kErrorFileNotFound);
    return DeviceHandle::None;
  }
  return devices_.Open(bridge);
}

UsbInterfaceHandle SimWinUsb::Initialize(DeviceHandle device) {
  emu::Bridge* bridge = devices_.Find(device).value_or(nullptr);
  if (bridge == nullptr) {
    Fail(kErrorInvalidHandle);
    return UsbInterfaceHandle::None;
  }
  if (!bridge->Config().winusbDriver) {
    Fail(kErrorInvalidFunction);
    return UsbInterfaceHandle::None;
  }
  return interfaces_.Open(bridge);
}

bool SimWinUsb::ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                                std::uint32_t bufferLength, std::uint32_t& transferred) {
  emu::Bridge* bridge = interfaces_.Find(usb).value_or(nullptr);
  if (bridge == nullptr) return Fail(kErrorInvalidHandle);
  if (bufferLength != 0 && buffer == nullptr) return Fail(kErrorInvalidParameter);
  const emu::UsbResult result = bridge->ControlTransfer(
      {setup.requestType, setup.request, setup.value, setup.index, setup.length}, buffer, bufferLength);
  transferred = result.transferred;
  return result.ok ? true : Fail(result.errorCode);
}

void SimWinUsb::Free(UsbInterfaceHandle usb) {
  if (!interfaces_.Close(usb)) ++badReleases_;
}

void SimWinUsb::Close(DeviceHandle device) {
  if (!devices_.Close(device)) ++badReleases_;
}

std::uint32_t SimWinUsb::LastError() { return t_lastError; }

}  // namespace vx::platform::sim
