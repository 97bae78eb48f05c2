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

emu::Bridge* Find(const std::map<std::uintptr_t, emu::Bridge*>& handles, std::uintptr_t value) {
  auto it = handles.find(value);
  return it == handles.end() ? nullptr : it->second;
}

}  // namespace

DeviceHandle SimWinUsb::Open(std::u16string_view path) {
  emu::Bridge* bridge = bridges_.FindWinUsb(path);
  if (bridge == nullptr || !bridge->Present()) {
    Fail(kErrorFileNotFound);
    return DeviceHandle::None;
  }
  std::lock_guard lock(mutex_);
  devices_.emplace(++lastHandle_, bridge);
  return static_cast<DeviceHandle>(lastHandle_);
}

UsbInterfaceHandle SimWinUsb::Initialize(DeviceHandle device) {
  std::lock_guard lock(mutex_);
  emu::Bridge* bridge = Find(devices_, static_cast<std::uintptr_t>(device));
  if (bridge == nullptr) {
    Fail(kErrorInvalidHandle);
    return UsbInterfaceHandle::None;
  }
  if (!bridge->Config().winusbDriver) {
    Fail(kErrorInvalidFunction);
    return UsbInterfaceHandle::None;
  }
  interfaces_.emplace(++lastHandle_, bridge);
  return static_cast<UsbInterfaceHandle>(lastHandle_);
}

bool SimWinUsb::ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                                std::uint32_t bufferLength, std::uint32_t& transferred) {
  emu::Bridge* bridge = nullptr;
  {
    std::lock_guard lock(mutex_);
    bridge = Find(interfaces_, static_cast<std::uintptr_t>(usb));
  }
  if (bridge == nullptr) return Fail(kErrorInvalidHandle);
  if (bufferLength != 0 && buffer == nullptr) return Fail(kErrorInvalidParameter);
  const emu::UsbResult result = bridge->ControlTransfer(
      {setup.requestType, setup.request, setup.value, setup.index, setup.length}, buffer, bufferLength);
  transferred = result.transferred;
  return result.ok ? true : Fail(result.errorCode);
}

void SimWinUsb::Free(UsbInterfaceHandle usb) {
  std::lock_guard lock(mutex_);
  if (interfaces_.erase(static_cast<std::uintptr_t>(usb)) == 0) ++badReleases_;
}

void SimWinUsb::Close(DeviceHandle device) {
  std::lock_guard lock(mutex_);
  if (devices_.erase(static_cast<std::uintptr_t>(device)) == 0) ++badReleases_;
}

std::uint32_t SimWinUsb::LastError() { return t_lastError; }

std::size_t SimWinUsb::OpenDevices() const {
  std::lock_guard lock(mutex_);
  return devices_.size();
}

std::size_t SimWinUsb::OpenInterfaces() const {
  std::lock_guard lock(mutex_);
  return interfaces_.size();
}

std::size_t SimWinUsb::BadReleases() const {
  std::lock_guard lock(mutex_);
  return badReleases_;
}

}  // namespace vx::platform::sim
