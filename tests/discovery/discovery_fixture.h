// A simulated machine installed as the platform, with helpers to arrange
// nodes by hand and to check that nothing handed out was left open.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "emulator/bridge.h"
#include "emulator/machine_devices.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"
#include "platform/text.h"

namespace vx::testing {

class DiscoveryTest : public ::testing::Test {
 protected:
  platform::sim::SimPlatform sim;
  emu::SimMachine& machine = sim.Machine();
  platform::sim::SimMachineBuilder builder{sim};
  platform::ScopedPlatform scoped{sim.Apis()};

  // A node under `parent` that exposes an interface of `interfaceClass`,
  // answered by a new bridge with these chip-information values.
  emu::Bridge& AddAnsweringNode(emu::NodeId parent, const std::string& instanceId,
                                const platform::Guid& interfaceClass, emu::ChipInfoValues values = {}) {
    const emu::NodeId node = machine.AddNode(parent, FromUtf8(instanceId), {u"name", {}, {}, {}, {}});
    const std::u16string path = u"\\\\?\\" + FromUtf8(instanceId) + u"#path";
    machine.AddInterface(node, interfaceClass, path);
    emu::BridgeConfig config;
    config.chipInfo = emu::DiskChipInfo(values);
    config.usbChipInfo = emu::UsbChipInfo(values);
    auto& bridge = machine.AddBridge(std::make_unique<emu::Bridge>(config));
    const bool disk = interfaceClass == platform::GUID_DEVINTERFACE_DISK;
    if (disk) machine.AddDisk(path);
    sim.AttachBridge(bridge, disk ? path : u"", disk ? u"" : path);
    return bridge;
  }

  // Everything the platform handed out has come back: sets, hub and disk
  // handles, registry keys, device handles and mutex handles.
  void ExpectAllClosed() {
    EXPECT_EQ(sim.MachineAreas().OpenHandles(), 0u);
    EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
    EXPECT_EQ(sim.WinUsb().OpenDevices(), 0u);
    EXPECT_EQ(sim.WinUsb().OpenInterfaces(), 0u);
    EXPECT_EQ(sim.Mutexes().OpenHandles(), 0u);
  }
};

}  // namespace vx::testing
