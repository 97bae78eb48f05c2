#include "platform/linux/bridge_disks.h"

#include "platform/linux/block_devices.h"

namespace vx::platform::linux_backend {

std::vector<BridgeDisk> BridgeDisks(const DeviceSnapshot& snapshot, const SystemPaths& paths) {
  std::vector<BridgeDisk> found;
  for (const std::size_t index : snapshot.disks) {
    const SnapshotNode& disk = snapshot.nodes[index];
    const SnapshotNode& device = snapshot.nodes[snapshot.nodes[disk.parent].parent];
    if (!device.listedBridge) continue;
    found.push_back({DeviceText(device), paths.dev + "/" + disk.blockName, MountPoints(paths, disk.blockName)});
  }
  return found;
}

}  // namespace vx::platform::linux_backend
