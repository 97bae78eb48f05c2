// The platform areas that the simulated machine serves: device tree, hubs,
// registry, disks and platform version, with the count of everything they
// have handed out and not yet had back.
#pragma once

#include <cstddef>

#include "platform/platform.h"
#include "platform/sim/sim_device_tree.h"
#include "platform/sim/sim_disks.h"
#include "platform/sim/sim_hubs.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_system.h"

namespace vx::platform::sim {

class SimMachineAreas {
 public:
  explicit SimMachineAreas(SimMachine& machine)
      : deviceTree(machine), hubs(machine), registry(machine), disks(machine), system(machine) {}

  // Fills these areas into a platform.
  void Install(Platform& platform) {
    platform.deviceTree = &deviceTree;
    platform.hubs = &hubs;
    platform.registry = &registry;
    platform.disks = &disks;
    platform.system = &system;
  }

  // Device information sets, hub and disk handles and registry keys still open.
  std::size_t OpenHandles() const {
    return deviceTree.OpenSets() + hubs.OpenHandles() + registry.OpenKeys() + disks.OpenHandles();
  }

  SimDeviceTree deviceTree;
  SimHubs hubs;
  SimRegistry registry;
  SimDisks disks;
  SimSystem system;
};

}  // namespace vx::platform::sim
