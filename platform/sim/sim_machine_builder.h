// Arranges the simulated machine of a SimPlatform: a root hub, emulated
// bridges plugged into it with whatever layout, flash part, chip information
// and drive letters a test wants, and devices that are no bridges beside
// them. For example:
//
//   SimPlatform sim;
//   SimMachineBuilder machine(sim);
//   machine.AddBridge();                                   // composite, row-1 flash
//   machine.AddMouse();
//   machine.AddBridge({.layout = emu::BridgeLayout::DiskOnly, .driveLetters = "EG"});
//   platform::ScopedPlatform scoped(sim.Apis());
//
// Each bridge is owned by the machine and attached to the platform on its
// disk path and its WinUSB path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "emulator/bridge.h"
#include "emulator/chip_info.h"
#include "emulator/flash_part.h"
#include "emulator/machine_devices.h"
#include "platform/sim/sim_platform.h"

namespace vx::platform::sim {

struct SimBridgeSpec {
  emu::BridgeLayout layout = emu::BridgeLayout::Composite;
  std::optional<emu::FlashPart> part;  // none: the catalogue's part for flash-table row 1
  emu::ChipInfoValues chipInfo{};       // reported on both sides; its mode byte decides SPI access
  bool winusbDriver = true;             // false: the WinUSB interface does not initialise
  std::string driveLetters;             // volumes of its disk, e.g. "EG"
  emu::VolumeBinding binding = emu::VolumeBinding::Signature;
  emu::LocationText location = emu::LocationText::WellFormed;
  std::uint8_t port = 0;                // 0: the hub's first free port
  std::string serial;                   // empty: "VX0001", "VX0002", ... in the order added
};

struct SimBridge {
  emu::Bridge* bridge = nullptr;
  emu::BridgeNodes nodes;
};

class SimMachineBuilder {
 public:
  // Gives the machine a root hub (8 ports) when it has no hub yet.
  explicit SimMachineBuilder(SimPlatform& sim);

  SimBridge AddBridge(const SimBridgeSpec& spec = {});
  // A device with a disk that is no bridge: nothing answers its vendor
  // commands. `letter` (0 for none) is a volume of its disk.
  emu::BridgeNodes AddUsbStick(char letter = 0);
  emu::NodeId AddMouse();
  // An external hub on the current hub; PlugInto makes it the current one.
  emu::NodeId AddHub(std::uint8_t ports = 4);
  // Devices added from now on go into this hub (a root hub or an external one).
  void PlugInto(emu::NodeId hub) { hub_ = hub; }
  emu::NodeId RootHub() const { return rootHub_; }

 private:
  emu::UsbPlug Plug(std::uint8_t port = 0, emu::LocationText location = emu::LocationText::WellFormed) const;

  SimPlatform& sim_;
  emu::NodeId rootHub_ = 0;
  emu::NodeId hub_ = 0;
};

}  // namespace vx::platform::sim
