// The disks the kernel made of a USB mass-storage interface. sysfs puts them
// three levels below it, beside endpoint and power entries:
//   <interface>/host3/target3:0:0/3:0:0:0/{type,vendor,model,block/sdb,scsi_generic/sg2}
#pragma once

#include <string>
#include <vector>

#include "platform/linux/usb_names.h"

namespace vx::platform::linux_backend {

struct ScsiDisk {
  std::string name;       // "3:0:0:0"
  ScsiAddress address{};
  std::string blockName;  // "sdb"
  std::string sgName;     // "sg2"; empty when the sg driver is not loaded
  std::string vendor;     // from the INQUIRY data, as sysfs shows it
  std::string model;
  std::string driver;     // "sd"
};

// The direct-access LUNs (peripheral type 0, or 14 for the reduced block
// command set many USB disks report) that have a block device, by SCSI
// address. CD-ROMs and LUNs without a block device are left out.
std::vector<ScsiDisk> ScsiDisksBelow(const std::string& interfaceDirectory);

// The name of the driver bound to a sysfs device: the last part of its
// "driver" link; empty when none is bound.
std::string BoundDriver(const std::string& deviceDirectory);

}  // namespace vx::platform::linux_backend
