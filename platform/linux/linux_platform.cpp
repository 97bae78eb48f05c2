#include "platform/linux/linux_platform.h"

#include "base/text.h"
#include "platform/ini_profile.h"
#include "platform/linux/block_devices.h"
#include "platform/linux/libusb_device_access.h"
#include "platform/linux/linux_clock.h"
#include "platform/linux/linux_device_tree.h"
#include "platform/linux/linux_disks.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_hubs.h"
#include "platform/linux/linux_mutexes.h"
#include "platform/linux/linux_registry.h"
#include "platform/linux/linux_scsi.h"
#include "platform/linux/linux_system.h"
#include "platform/linux/linux_winusb.h"

namespace vx::platform::linux_backend {

namespace {

struct LinuxAreas {
  SystemPaths paths;
  LinuxFiles files;
  IniProfile profile{files};
  LinuxMutexes mutexes;
  LinuxClock clock;
  LinuxScsi scsi;
  LinuxDeviceTree deviceTree{paths};
  LinuxHubs hubs{deviceTree};
  LinuxDisks disks{paths};
  LinuxRegistry registry;
  LinuxSystem system;
  LibUsbDeviceAccess usbAccess;
  LinuxWinUsb winusb{deviceTree, usbAccess};
  Platform apis;

  LinuxAreas() {
    apis.files = &files;
    apis.profile = &profile;
    apis.mutexes = &mutexes;
    apis.clock = &clock;
    apis.scsi = &scsi;
    apis.deviceTree = &deviceTree;
    apis.hubs = &hubs;
    apis.disks = &disks;
    apis.registry = &registry;
    apis.system = &system;
    apis.winusb = &winusb;
  }
};

LinuxAreas& Areas() {
  // Never destroyed: a thread still holding a named mutex at exit must keep
  // its mapping, or the kernel could not mark the mutex abandoned for the
  // other processes that share it.
  static LinuxAreas* const areas = new LinuxAreas;
  return *areas;
}

}  // namespace

const Platform& LinuxPlatform() { return Areas().apis; }

void UseBridgeIds(std::vector<UsbId> ids) { Areas().deviceTree.SetBridgeIds(std::move(ids)); }

std::vector<std::string> DeviceNotices() { return Areas().deviceTree.Latest()->notices; }

std::vector<BridgeDisk> CurrentBridgeDisks() {
  LinuxAreas& areas = Areas();
  return BridgeDisks(*areas.deviceTree.Rescan(), areas.paths);
}

DiskUse DescribeDisk(std::u16string_view diskPath) {
  const SystemPaths& paths = Areas().paths;
  const std::string block = BlockDeviceName(paths, ToUtf8(diskPath));
  if (block.empty()) return {};
  return {paths.dev + "/" + block, MountPoints(paths, block)};
}

}  // namespace vx::platform::linux_backend
