#include "platform/sim/sim_machine_builder.h"

#include <cstdio>
#include <memory>

#include "emulator/flash_catalogue.h"

namespace vx::platform::sim {

namespace {

std::string Numbered(const char* prefix, std::size_t number) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%04zu", prefix, number);
  return text;
}

std::size_t DiskCount(const SimMachine& machine) {
  std::size_t disks = 0;
  for (const auto& entry : machine.Interfaces())
    if (entry.interfaceClass == GUID_DEVINTERFACE_DISK) ++disks;
  return disks;
}

}  // namespace

void PutInFieldState(emu::SpiFlash& flash) {
  auto array = flash.Array();
  for (std::size_t i = 0; i < array.size(); ++i) array[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8) + 0x3D);
  flash.SetStatus(flash.Part().protectBits);
}

SimMachineBuilder::SimMachineBuilder(SimPlatform& sim) : sim_(sim) {
  SimMachine& machine = sim_.Machine();
  rootHub_ = machine.Hubs().empty() ? AddRootHub(machine) : machine.Hubs().front().node;
  hub_ = rootHub_;
}

UsbPlug SimMachineBuilder::Plug(std::uint8_t port, LocationText location) const {
  UsbPlug plug;
  plug.hub = hub_;
  plug.port = port;
  plug.location = location;
  return plug;
}

SimBridge SimMachineBuilder::AddBridge(const SimBridgeSetup& setup) {
  SimMachine& machine = sim_.Machine();
  const std::size_t number = machine.BridgeCount() + 1;

  BridgeNodesOptions options;
  options.layout = setup.layout;
  options.serial = setup.serial.empty() ? Numbered("VX", number) : setup.serial;
  options.vendorId = setup.chipInfo.vendorId;
  options.productId = setup.chipInfo.productId;
  options.diskSignature = 0x1B7E0000u + static_cast<std::uint32_t>(number);
  SimBridge made;
  made.nodes = AddBridgeNodes(machine, Plug(setup.port, setup.location), options);

  emu::BridgeConfig config;
  config.chipInfo = emu::DiskChipInfo(setup.chipInfo);
  config.usbChipInfo = emu::UsbChipInfo(setup.chipInfo);
  config.winusbDriver = setup.winusbDriver;
  config.sectorTail = setup.sectorTail;
  const emu::FlashPart& part = setup.part ? *setup.part : emu::PartForRow(1);
  made.bridge = &machine.AddBridge(std::make_unique<emu::Bridge>(sim_.Clock(), part, config));
  if (setup.fieldFlash) PutInFieldState(*made.bridge->Flash());
  sim_.AttachBridge(*made.bridge, made.nodes.diskPath, made.nodes.winusbPath);

  for (char letter : setup.driveLetters) AddVolume(machine, letter, made.nodes, setup.binding);
  return made;
}

std::vector<SimBridge> SimMachineBuilder::AddBridges(int count, const SimBridgeSetup& setup) {
  SimBridgeSetup numbered = setup;
  numbered.serial.clear();
  std::vector<SimBridge> made;
  for (int i = 0; i < count; ++i) made.push_back(AddBridge(numbered));
  return made;
}

BridgeNodes SimMachineBuilder::AddUsbStick(char letter) {
  SimMachine& machine = sim_.Machine();
  const std::size_t number = DiskCount(machine) + 1;
  BridgeNodesOptions options;
  options.layout = BridgeLayout::DiskOnly;
  options.serial = Numbered("ST", number);
  options.vendorId = 0x0781;
  options.productId = 0x5581;
  options.diskVendor = "SANTEK";
  options.diskProduct = "ULTRA_FIT";
  options.diskSignature = 0x57000000u + static_cast<std::uint32_t>(number);
  const BridgeNodes nodes = AddBridgeNodes(machine, Plug(), options);
  if (letter != 0) AddVolume(machine, letter, nodes, VolumeBinding::Signature);
  return nodes;
}

NodeId SimMachineBuilder::AddMouse() {
  SimMachine& machine = sim_.Machine();
  return AddHidDevice(machine, Plug(), Numbered("M", machine.Interfaces().size()));
}

NodeId SimMachineBuilder::AddHub(std::uint8_t ports) { return AddExternalHub(sim_.Machine(), Plug(), ports); }

}  // namespace vx::platform::sim
