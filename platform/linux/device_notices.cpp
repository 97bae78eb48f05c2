#include "platform/linux/device_notices.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vx::platform::linux_backend {

namespace {

constexpr std::uint8_t kClassMassStorage = 0x08;
constexpr std::uint8_t kClassVendorSpecific = 0xFF;

// Empty when the node can be opened for reading and writing.
std::string AccessProblem(const ScanSettings& settings, const std::string& path, const std::string& device) {
  const int error = settings.access(path);
  if (error == 0) return {};
  std::string text = "Cannot open " + path + " of " + device + " for reading and writing: ";
  if (error == EACCES || error == EPERM)
    return text + "permission denied. Run as root, or install the udev rule that comes with the program (see the README).";
  if (error == ENOENT) return text + "the node does not exist (yet).";
  return text + std::strerror(error) + ".";
}

void Add(std::vector<std::string>& notices, std::string notice) {
  if (!notice.empty()) notices.push_back(std::move(notice));
}

void DiskNotices(const DeviceSnapshot& snapshot, const ScanSettings& settings, const SnapshotNode& device,
                 const SnapshotNode& interface, std::vector<std::string>& notices) {
  const std::string name = DeviceText(device);
  if (interface.children.empty()) {
    Add(notices, interface.driver.empty()
                     ? name + " looks like a bridge, but no driver serves its mass-storage interface " +
                           interface.id + ": is the usb-storage module loaded?"
                     : name + " looks like a bridge, but its disk has not appeared (yet): the kernel adds it "
                              "about a second after plug-in. Try again.");
    return;
  }
  for (const std::size_t child : interface.children) {
    const SnapshotNode& disk = snapshot.nodes[child];
    if (disk.sgName.empty()) {
      Add(notices, "The disk " + settings.paths.dev + "/" + disk.blockName + " of " + name +
                       " has no generic SCSI node: the sg module is not loaded (modprobe sg). Without it only "
                       "root can send the bridge its commands.");
    } else {
      Add(notices, AccessProblem(settings, disk.interfacePath, name));
    }
  }
}

}  // namespace

std::vector<std::string> DeviceNotices(const DeviceSnapshot& snapshot, const ScanSettings& settings) {
  std::vector<std::string> notices;
  for (const std::size_t index : snapshot.usbDevices) {
    const SnapshotNode& device = snapshot.nodes[index];
    if (!device.listedBridge) continue;
    for (const std::size_t child : device.children) {
      const SnapshotNode& interface = snapshot.nodes[child];
      if (interface.interfaceClass == kClassMassStorage) DiskNotices(snapshot, settings, device, interface, notices);
    }
    const bool hasBridgeInterface = std::any_of(device.children.begin(), device.children.end(), [&](std::size_t c) {
      return snapshot.nodes[c].interfaceClass == kClassVendorSpecific;
    });
    if (hasBridgeInterface && !device.usbfsPath.empty())
      Add(notices, AccessProblem(settings, device.usbfsPath, DeviceText(device)));
  }
  return notices;
}

}  // namespace vx::platform::linux_backend
