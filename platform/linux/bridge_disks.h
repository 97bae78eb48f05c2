// The disks of the devices that look like bridges, with their mount points:
// the Linux counterpart of a bridge's drive letters.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/device_snapshot.h"
#include "platform/linux/system_paths.h"

namespace vx::platform::linux_backend {

struct BridgeDisk {
  std::string device;       // "USB device 2-1 (1B7E:94C6)"
  std::string blockDevice;  // "/dev/sdb"
  std::vector<std::string> mountPoints;
};

// Every disk below a device whose IDs are among the bridge IDs, in tree order.
std::vector<BridgeDisk> BridgeDisks(const DeviceSnapshot& snapshot, const SystemPaths& paths);

}  // namespace vx::platform::linux_backend
