// What keeps a device that looks like a bridge (its vendor and product ID
// are among the bridge IDs) from being reached, said so that an operator
// knows what to do: a device node this user may not open, a disk that has
// not appeared yet, a missing generic SCSI driver.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/device_scan.h"
#include "platform/linux/device_snapshot.h"

namespace vx::platform::linux_backend {

std::vector<std::string> DeviceNotices(const DeviceSnapshot& snapshot, const ScanSettings& settings);

}  // namespace vx::platform::linux_backend
