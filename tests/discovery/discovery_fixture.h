// A simulated machine installed as the platform, with helpers to arrange
// nodes by hand and to check that nothing handed out was left open.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "discovery/device_enum.h"
#include "discovery/scoped_handles.h"
#include "platform/sim/machine_devices.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"

namespace vx::testing {

using BridgeSetup = platform::sim::SimBridgeSetup;

inline std::u16string Lowered(std::u16string text) {
  for (auto& c : text) c = static_cast<char16_t>(std::tolower(c));
  return text;
}

class DiscoveryTest : public ::testing::Test {
 protected:
  platform::sim::SimPlatform sim;
  platform::sim::SimMachine& machine = sim.Machine();
  platform::sim::SimMachineBuilder builder{sim};
  platform::ScopedPlatform scoped{sim.Apis()};

  ScopedInfoSet UsbDeviceSet() {
    return ScopedInfoSet(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
  }

  // Every set, hub and disk handle, registry key, WinUSB handle and mutex
  // handed out has been closed.
  void ExpectAllClosed() {
    EXPECT_EQ(sim.MachineAreas().OpenHandles(), 0u);
    EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
    EXPECT_EQ(sim.WinUsb().OpenDevices(), 0u);
    EXPECT_EQ(sim.WinUsb().OpenInterfaces(), 0u);
    EXPECT_EQ(sim.Mutexes().OpenHandles(), 0u);
  }
};

}  // namespace vx::testing
