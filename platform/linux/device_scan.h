// Builds a DeviceSnapshot from sysfs. Nothing is kept open between scans;
// each scan reads the machine afresh.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/linux/bridge_ids.h"
#include "platform/linux/device_snapshot.h"
#include "platform/linux/system_paths.h"

namespace vx::platform::linux_backend {

// Whether this process may open a device node for reading and writing:
// 0, or the errno that says why not.
using NodeAccess = std::function<int(const std::string& path)>;

// The real test, with this process's effective user and groups.
int ReadWriteAccess(const std::string& path);

struct ScanSettings {
  SystemPaths paths;
  std::vector<UsbId> bridgeIds;  // whose vendor-class interfaces take control requests
  NodeAccess access = ReadWriteAccess;
};

// Interface paths: a hub's, a device's and an interface's is its sysfs
// directory under <sys>/bus/usb/devices; a disk's is its generic SCSI node
// <dev>/sgN, or its block device <dev>/sdX when the sg driver is not loaded.
// Devices whose parent hub is not (or no longer) present, nodes whose ID
// would exceed 200 characters, and names sysfs would not give are left out.
DeviceSnapshot ScanDevices(const ScanSettings& settings);

}  // namespace vx::platform::linux_backend
