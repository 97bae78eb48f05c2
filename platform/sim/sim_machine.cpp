#include "platform/sim/sim_machine.h"

#include <algorithm>
#include <stdexcept>

#include "base/ascii_text.h"
#include "emulator/bridge.h"

namespace vx::platform::sim {

SimMachine::SimMachine() { nodes_.push_back({u"HTREE\\ROOT\\0", 0, {}, {}}); }

SimMachine::~SimMachine() = default;

emu::Bridge& SimMachine::AddBridge(std::unique_ptr<emu::Bridge> bridge) {
  if (!bridge) throw std::invalid_argument("no bridge to add");
  bridges_.push_back(std::move(bridge));
  return *bridges_.back();
}

NodeId SimMachine::AddNode(NodeId parent, std::u16string instanceId, NodeProperties properties) {
  if (!IsNode(parent)) throw std::invalid_argument("machine node without a valid parent");
  nodes_.push_back({std::move(instanceId), parent, {}, std::move(properties)});
  const auto id = static_cast<NodeId>(nodes_.size());
  Node(parent).children.push_back(id);
  return id;
}

MachineNode& SimMachine::Node(NodeId node) {
  if (!IsNode(node)) throw std::out_of_range("no such machine node");
  return nodes_[node - 1];
}

const MachineNode& SimMachine::Node(NodeId node) const {
  if (!IsNode(node)) throw std::out_of_range("no such machine node");
  return nodes_[node - 1];
}

NodeId SimMachine::FindNode(std::u16string_view instanceId) const {
  for (std::size_t i = 0; i < nodes_.size(); ++i)
    if (EqualsIgnoreCase(nodes_[i].instanceId, instanceId)) return static_cast<NodeId>(i + 1);
  return 0;
}

void SimMachine::AddInterface(NodeId node, const platform::Guid& interfaceClass, std::u16string path) {
  if (!IsNode(node)) throw std::invalid_argument("interface on no machine node");
  interfaces_.push_back({interfaceClass, node, std::move(path)});
}

void SimMachine::EnumerateLast(NodeId node) {
  std::stable_partition(interfaces_.begin(), interfaces_.end(),
                        [node](const MachineInterface& entry) { return entry.node != node; });
}

const MachineInterface* SimMachine::FindInterface(std::u16string_view path) const {
  for (const auto& entry : interfaces_)
    if (EqualsIgnoreCase(entry.path, path)) return &entry;
  return nullptr;
}

MachineHub& SimMachine::AddHub(NodeId node, std::u16string path, std::uint8_t ports) {
  AddInterface(node, platform::GUID_DEVINTERFACE_USB_HUB, path);
  auto& hub = hubs_.emplace_back();
  hub.node = node;
  hub.path = std::move(path);
  hub.ports.resize(ports);
  return hub;
}

MachineHub* SimMachine::FindHub(std::u16string_view path) {
  for (auto& hub : hubs_)
    if (EqualsIgnoreCase(hub.path, path)) return &hub;
  return nullptr;
}

MachineHub* SimMachine::HubOf(NodeId node) {
  for (auto& hub : hubs_)
    if (hub.node == node) return &hub;
  return nullptr;
}

MachineDisk& SimMachine::AddDisk(std::u16string path) {
  auto& disk = disks_.emplace_back();
  disk.path = std::move(path);
  return disk;
}

MachineDisk* SimMachine::FindDisk(std::u16string_view path) {
  for (auto& disk : disks_)
    if (EqualsIgnoreCase(disk.path, path)) return &disk;
  return nullptr;
}

}  // namespace vx::platform::sim
