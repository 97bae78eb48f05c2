// The simulated machine as the operating system shows it: a device tree of
// nodes with their properties, the device interfaces the nodes expose, USB
// hubs with their ports, disks with their first sector, a registry, the
// logical-drive mask and the platform version. The platform's sim backend
// serves its device-tree, hub, registry, disk and system areas from it; the
// bridges that answer on some of its interface paths are attached to the
// backend's path registry beside it.
//
// Everything here is plain data with lookups; a test arranges a machine
// directly or through the builders of platform/sim/machine_devices.h, and sets
// the fault flags to make single requests fail. The machine also owns the
// emulated bridges plugged into it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_classes.h"
#include "platform/sim/machine_registry.h"

namespace vx::emu {
class Bridge;
}  // namespace vx::emu

namespace vx::platform::sim {

// A device node; the value is the node's DevNode for the configuration
// manager (index + 1; 0 is "no node").
using NodeId = std::uint32_t;

// Text properties of a node; an absent one cannot be read.
struct NodeProperties {
  std::optional<std::u16string> friendlyName;
  std::optional<std::u16string> deviceDesc;
  std::optional<std::u16string> service;
  std::optional<std::u16string> driverKey;
  std::optional<std::u16string> location;  // e.g. "Port_#0002.Hub_#0004"
};

struct MachineNode {
  std::u16string instanceId;
  NodeId parent = 0;
  std::vector<NodeId> children;  // in sibling order
  NodeProperties properties;
};

struct MachineInterface {
  platform::Guid interfaceClass;
  NodeId node;
  std::u16string path;
};

struct MachinePort {
  bool connected = false;
  NodeId device = 0;        // whose driver key the port reports
  std::uint8_t speed = 0;   // speed code reported for the connection
  bool failQuery = false;   // the connection request fails
};

struct MachineHub {
  NodeId node = 0;
  std::u16string path;             // its hub interface path
  int locationNumber = 0;          // the hub number in its ports' location strings
  bool multiInterfaceParent = false;
  std::uint32_t interfaceCount = 0;  // for a multi-interface parent
  std::vector<MachinePort> ports;    // port p is ports[p - 1]
  bool failOpen = false;
  bool failNodeInformation = false;
};

struct MachineDisk {
  std::u16string path;
  std::array<std::uint8_t, 512> sector0{};
  bool failOpen = false;
  bool failRead = false;
  bool failLayout = false;
};

class SimMachine {
 public:
  SimMachine();
  ~SimMachine();
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  // --- Device tree ---
  NodeId Root() const { return 1; }
  NodeId AddNode(NodeId parent, std::u16string instanceId, NodeProperties properties = {});
  MachineNode& Node(NodeId node);
  const MachineNode& Node(NodeId node) const;
  bool IsNode(NodeId node) const { return node >= 1 && node <= nodes_.size(); }
  // The node with that instance ID, ignoring case; 0 when none.
  NodeId FindNode(std::u16string_view instanceId) const;

  // --- Interfaces (in the order they were added: the enumeration order) ---
  void AddInterface(NodeId node, const platform::Guid& interfaceClass, std::u16string path);
  const std::vector<MachineInterface>& Interfaces() const { return interfaces_; }
  // The node's interfaces come last in the enumeration order from now on, as
  // those of a device plugged in again after the others.
  void EnumerateLast(NodeId node);
  // The interface with that path, ignoring case; null when none.
  const MachineInterface* FindInterface(std::u16string_view path) const;

  // --- Hubs ---
  // Makes node a hub with `ports` empty ports, exposing a hub interface at
  // path. The reference stays valid while the machine lives.
  MachineHub& AddHub(NodeId node, std::u16string path, std::uint8_t ports);
  MachineHub* FindHub(std::u16string_view path);
  MachineHub* HubOf(NodeId node);
  const std::deque<MachineHub>& Hubs() const { return hubs_; }

  // --- Disks ---
  MachineDisk& AddDisk(std::u16string path);
  MachineDisk* FindDisk(std::u16string_view path);

  // --- Registry, drives, version ---
  MachineRegistry& Registry() { return registry_; }
  const MachineRegistry& Registry() const { return registry_; }
  std::uint32_t logicalDrives = 0x4;  // C: only
  std::uint32_t platformId = 2;       // the NT family
  bool failVersion = false;

  // --- Emulated bridges (kept alive as long as the machine) ---
  emu::Bridge& AddBridge(std::unique_ptr<emu::Bridge> bridge);
  std::size_t BridgeCount() const { return bridges_.size(); }
  emu::Bridge& BridgeAt(std::size_t index) { return *bridges_.at(index); }

  // --- Faults ---
  // Device information sets of these classes cannot be made.
  std::vector<platform::Guid> failingSetClasses;

 private:
  std::vector<MachineNode> nodes_;
  std::vector<MachineInterface> interfaces_;
  std::deque<MachineHub> hubs_;
  std::deque<MachineDisk> disks_;
  MachineRegistry registry_;
  std::vector<std::unique_ptr<emu::Bridge>> bridges_;
};

}  // namespace vx::platform::sim
