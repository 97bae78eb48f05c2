// WinUSB on the simulated machine: a device path opens when an emulated
// bridge is attached to it as its WinUSB interface and is present; the
// interface initialises when the bridge has its WinUSB driver; control
// transfers are handed to the bridge. Device and interface handles are
// counted so that tests can check every one was freed and closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

#include "emulator/bridge_registry.h"
#include "platform/winusb_api.h"

namespace vx::platform::sim {

class SimWinUsb : public WinUsbApi {
 public:
  explicit SimWinUsb(const emu::BridgeRegistry& bridges) : bridges_(bridges) {}

  DeviceHandle Open(std::u16string_view path) override;
  UsbInterfaceHandle Initialize(DeviceHandle device) override;
  bool ControlTransfer(UsbInterfaceHandle usb, const UsbSetupPacket& setup, std::uint8_t* buffer,
                       std::uint32_t bufferLength, std::uint32_t& transferred) override;
  void Free(UsbInterfaceHandle usb) override;
  void Close(DeviceHandle device) override;
  std::uint32_t LastError() override;

  std::size_t OpenDevices() const;
  std::size_t OpenInterfaces() const;
  // Free and Close calls on handles that were not open.
  std::size_t BadReleases() const;

 private:
  const emu::BridgeRegistry& bridges_;
  mutable std::mutex mutex_;
  std::map<std::uintptr_t, emu::Bridge*> devices_;
  std::map<std::uintptr_t, emu::Bridge*> interfaces_;
  std::uintptr_t lastHandle_ = 0xB5000;
  std::size_t badReleases_ = 0;
};

}  // namespace vx::platform::sim
