// WinUSB on the simulated machine: a device path opens when an emulated
// bridge is attached to it as its WinUSB interface and is present; the
// interface initialises when the bridge has its WinUSB driver; control
// transfers are handed to the bridge. Device and interface handles are
// counted so that tests can check every one was freed and closed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "emulator/bridge_registry.h"
#include "platform/sim/sim_handle_table.h"
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

  std::size_t OpenDevices() const { return devices_.OpenCount(); }
  std::size_t OpenInterfaces() const { return interfaces_.OpenCount(); }
  // Free and Close calls on handles that were not open.
  std::size_t BadReleases() const { return badReleases_; }

 private:
  const emu::BridgeRegistry& bridges_;
  SimHandleTable<DeviceHandle, emu::Bridge*> devices_{0xB500000};
  SimHandleTable<UsbInterfaceHandle, emu::Bridge*> interfaces_{0xB600000};
  std::atomic<std::size_t> badReleases_{0};
};

}  // namespace vx::platform::sim
