// Arranges the simulated machine of a SimPlatform: a root hub, emulated
// bridges plugged into it with whatever layout, flash part, chip information
// and drive letters a test wants, and devices that are no bridges beside
// them. For example:
//
//   SimPlatform sim;
//   SimMachineBuilder machine(sim);
//   machine.AddBridge();                                   // composite, row-1 flash
//   machine.AddMouse();
//   machine.AddBridge(SimBridgeSetup().Layout(BridgeLayout::DiskOnly).DriveLetters("EG"));
//   platform::ScopedPlatform scoped(sim.Apis());
//
// Each bridge is owned by the machine and attached to the platform on its
// disk path and its WinUSB path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "emulator/bridge.h"
#include "emulator/chip_info.h"
#include "emulator/flash_part.h"
#include "platform/sim/machine_devices.h"
#include "platform/sim/sim_platform.h"

namespace vx::platform::sim {

// What a bridge looks like; the setters chain:
//   SimBridgeSetup().Layout(BridgeLayout::DiskOnly).DriveLetters("EG")
struct SimBridgeSetup {
  BridgeLayout layout = BridgeLayout::Composite;
  std::optional<emu::FlashPart> part;  // none: the catalogue's part for flash-table row 1
  emu::ChipInfoValues chipInfo{};       // reported on both sides; its mode byte decides SPI access
  bool winusbDriver = true;             // false: the WinUSB interface does not initialise
  emu::SectorTail sectorTail = emu::SectorTail::Moved;  // bytes past an image-sector command's last block
  std::string driveLetters;             // volumes of its disk, e.g. "EG"
  VolumeBinding binding = VolumeBinding::Signature;
  LocationText location = LocationText::WellFormed;
  std::uint8_t port = 0;                // 0: the hub's first free port
  std::string serial;                   // empty: "VX0001", "VX0002", ... in the order added
  // The flash as bridges are found in the field (PutInFieldState). false: as
  // the part leaves its maker, erased and with the status it powers up with.
  bool fieldFlash = true;

  SimBridgeSetup& Layout(BridgeLayout value) { return Set(layout, value); }
  SimBridgeSetup& Part(const emu::FlashPart& value) { return Set(part, std::optional(value)); }
  SimBridgeSetup& ChipInfo(const emu::ChipInfoValues& value) { return Set(chipInfo, value); }
  SimBridgeSetup& Mode(std::uint8_t value) { return Set(chipInfo.mode, value); }
  SimBridgeSetup& WithoutWinUsbDriver() { return Set(winusbDriver, false); }
  SimBridgeSetup& Tail(emu::SectorTail value) { return Set(sectorTail, value); }
  SimBridgeSetup& DriveLetters(std::string value) { return Set(driveLetters, std::move(value)); }
  SimBridgeSetup& Binding(VolumeBinding value) { return Set(binding, value); }
  SimBridgeSetup& Location(LocationText value) { return Set(location, value); }
  SimBridgeSetup& Port(std::uint8_t value) { return Set(port, value); }
  SimBridgeSetup& Serial(std::string value) { return Set(serial, std::move(value)); }
  SimBridgeSetup& FactoryFlash() { return Set(fieldFlash, false); }

 private:
  template <typename Field, typename Value>
  SimBridgeSetup& Set(Field& field, Value&& value) {
    field = std::forward<Value>(value);
    return *this;
  }
};

// The flash as bridges are found in the field: every block protected, and
// bytes of old firmware (a pattern no update writes by chance) everywhere.
void PutInFieldState(emu::SpiFlash& flash);

struct SimBridge {
  emu::Bridge* bridge = nullptr;
  BridgeNodes nodes;
};

class SimMachineBuilder {
 public:
  // Gives the machine a root hub (8 ports) when it has no hub yet.
  explicit SimMachineBuilder(SimPlatform& sim);

  SimBridge AddBridge(const SimBridgeSetup& setup = {});
  // `count` bridges alike, each with its own serial (a serial given here, if
  // any, is ignored).
  std::vector<SimBridge> AddBridges(int count, const SimBridgeSetup& setup = {});
  // A device with a disk that is no bridge: nothing answers its vendor
  // commands. `letter` (0 for none) is a volume of its disk.
  BridgeNodes AddUsbStick(char letter = 0);
  NodeId AddMouse();
  // An external hub on the current hub; PlugInto makes it the current one.
  NodeId AddHub(std::uint8_t ports = 4);
  // Devices added from now on go into this hub (a root hub or an external one).
  void PlugInto(NodeId hub) { hub_ = hub; }
  NodeId RootHub() const { return rootHub_; }

 private:
  UsbPlug Plug(std::uint8_t port = 0, LocationText location = LocationText::WellFormed) const;

  SimPlatform& sim_;
  NodeId rootHub_ = 0;
  NodeId hub_ = 0;
};

}  // namespace vx::platform::sim
