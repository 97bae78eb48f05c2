// The real Linux backend: the areas it provides, for platform::Install, and
// what it can tell beyond them about the devices it found.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/linux/bridge_disks.h"
#include "platform/linux/bridge_ids.h"
#include "platform/platform.h"

namespace vx::platform::linux_backend {

const Platform& LinuxPlatform();

// The vendor and product IDs of the bridges the operator named (see
// bridge_ids.h); until set, no device offers a bridge interface.
void UseBridgeIds(std::vector<UsbId> ids);

// What keeps a device that looks like a bridge from being reached, as the
// latest device search saw it (device_notices.h).
std::vector<std::string> DeviceNotices();

// The disks of the devices that look like bridges, read now.
std::vector<BridgeDisk> CurrentBridgeDisks();

// The block device ("/dev/sdb") behind a disk path the device search handed
// out, and where it is mounted; an empty block device for any other path.
struct DiskUse {
  std::string blockDevice;
  std::vector<std::string> mountPoints;
};
DiskUse DescribeDisk(std::u16string_view diskPath);

}  // namespace vx::platform::linux_backend
