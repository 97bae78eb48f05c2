// The block device behind a bridge's disk path, and where its file systems
// are mounted. Vendor commands go through the generic SCSI node (/dev/sgN);
// ordinary disk reads, and the mount table, concern the block device
// (/dev/sdX) that belongs to it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/system_paths.h"

namespace vx::platform::linux_backend {

// "sdb" for <dev>/sg2 when sg2 belongs to sdb (<sys>/class/scsi_generic/sg2/
// device/block/sdb); "sdb" for <dev>/sdb itself (the disk path when the sg
// driver is not loaded); empty for any other path.
std::string BlockDeviceName(const SystemPaths& paths, std::string_view diskPath);

// Where the block device or one of its partitions is mounted, in the order
// of the mount table (<proc>/self/mounts, which names devices by their /dev
// path).
std::vector<std::string> MountPoints(const SystemPaths& paths, const std::string& blockName);

}  // namespace vx::platform::linux_backend
