#include "platform/linux/device_scan.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <map>

#include "platform/linux/device_notices.h"
#include "platform/linux/scsi_disks.h"
#include "platform/linux/sysfs_files.h"

namespace vx::platform::linux_backend {

namespace {

constexpr std::size_t kMaxIdChars = 200;
constexpr std::uint32_t kClassMassStorage = 0x08;
constexpr std::uint32_t kClassHub = 0x09;
constexpr std::uint32_t kClassVendorSpecific = 0xFF;

// sysfs gives the speed in Mb/s: 1.5, 12, 480, 5000 and more. Read without
// regard to the locale's decimal mark.
std::uint8_t SpeedCode(const std::optional<std::string>& megabits) {
  if (!megabits) return 0;
  double value = 0;
  std::from_chars(megabits->data(), megabits->data() + megabits->size(), value);
  if (value < 12) return 0;
  if (value < 480) return 1;
  if (value < 5000) return 2;
  return 3;
}

std::string Joined(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  return first + " " + second;
}

struct FoundInterface {
  std::string name;
  UsbInterfaceName parsed;
};

class Scanner {
 public:
  explicit Scanner(const ScanSettings& settings)
      : settings_(settings), devicesDirectory_(settings.paths.sys + "/bus/usb/devices") {}

  DeviceSnapshot Run() {
    SnapshotNode root;
    root.id = kRootId;
    root.description = "USB";
    snapshot_.nodes.push_back(std::move(root));

    std::vector<std::pair<UsbAddress, std::string>> devices;
    for (const auto& name : ListEntries(devicesDirectory_)) {
      if (const auto address = ParseUsbDeviceName(name)) {
        devices.emplace_back(*address, name);
      } else if (const auto interface = ParseUsbInterfaceName(name)) {
        interfaces_[interface->device].push_back({name, *interface});
      }
    }
    // A hub comes before what is plugged into it.
    std::sort(devices.begin(), devices.end());
    for (const auto& [address, name] : devices) AddUsbDevice(address, name);
    snapshot_.IndexIds();
    snapshot_.notices = DeviceNotices(snapshot_, settings_);
    return std::move(snapshot_);
  }

 private:
  std::size_t Add(SnapshotNode node, std::size_t parent) {
    node.parent = parent;
    const std::size_t index = snapshot_.nodes.size();
    snapshot_.nodes.push_back(std::move(node));
    snapshot_.nodes[parent].children.push_back(index);
    return index;
  }

  bool IsBridgeId(std::uint16_t vendorId, std::uint16_t productId) const {
    const auto& ids = settings_.bridgeIds;
    return std::find(ids.begin(), ids.end(), UsbId{vendorId, productId}) != ids.end();
  }

  std::string UsbfsPath(const UsbAddress& address, const std::string& directory) const {
    const auto deviceNumber = ReadNumber(directory + "/devnum", 10);
    if (!deviceNumber) return {};
    char tail[32];
    std::snprintf(tail, sizeof tail, "/bus/usb/%03u/%03u", address.bus, *deviceNumber);
    return settings_.paths.dev + tail;
  }

  void AddUsbDevice(const UsbAddress& address, const std::string& name) {
    const bool rootHub = address.ports.empty();
    std::size_t parent = 0;
    if (!rootHub) {
      const auto found = indexByName_.find(ParentHubName(address));
      if (found == indexByName_.end()) return;
      parent = found->second;
    }
    const std::string directory = devicesDirectory_ + "/" + name;
    SnapshotNode node;
    node.id = name;
    node.address = address;
    const bool hub = rootHub || ReadNumber(directory + "/bDeviceClass", 16) == kClassHub;
    node.kind = hub ? NodeKind::Hub : NodeKind::Device;
    node.vendorId = static_cast<std::uint16_t>(ReadNumber(directory + "/idVendor", 16).value_or(0));
    node.productId = static_cast<std::uint16_t>(ReadNumber(directory + "/idProduct", 16).value_or(0));
    node.speedCode = SpeedCode(ReadAttribute(directory + "/speed"));
    node.description = ReadAttribute(directory + "/product").value_or("");
    if (node.description.empty()) node.description = hub ? "USB hub" : "USB device";
    node.driver = BoundDriver(directory);
    node.usbfsPath = UsbfsPath(address, directory);
    node.interfacePath = directory;
    node.listedBridge = !hub && IsBridgeId(node.vendorId, node.productId);
    if (hub) node.portCount = std::min<std::uint32_t>(ReadNumber(directory + "/maxchild", 10).value_or(0), 255);

    const std::size_t index = Add(std::move(node), parent);
    indexByName_[name] = index;
    if (hub) {
      snapshot_.hubs.push_back(index);
    } else {
      snapshot_.usbDevices.push_back(index);
      AddInterfaces(index);
    }
  }

  void AddInterfaces(std::size_t device) {
    auto& found = interfaces_[snapshot_.nodes[device].id];
    // By interface number, whatever order sysfs lists them in.
    std::vector<std::pair<std::uint32_t, const FoundInterface*>> ordered;
    for (const auto& interface : found) {
      const auto number = ReadNumber(devicesDirectory_ + "/" + interface.name + "/bInterfaceNumber", 16);
      ordered.emplace_back(number.value_or(interface.parsed.number), &interface);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [number, interface] : ordered) AddInterface(device, interface->name);
  }

  void AddInterface(std::size_t device, const std::string& name) {
    if (name.size() > kMaxIdChars) return;
    const std::string directory = devicesDirectory_ + "/" + name;
    SnapshotNode node;
    node.kind = NodeKind::Interface;
    node.id = name;
    node.interfaceClass = static_cast<std::uint8_t>(ReadNumber(directory + "/bInterfaceClass", 16).value_or(0));
    node.description = ReadAttribute(directory + "/interface").value_or("");
    if (node.description.empty()) node.description = "USB interface";
    node.driver = BoundDriver(directory);
    const bool bridgeInterface = node.interfaceClass == kClassVendorSpecific && snapshot_.nodes[device].listedBridge;
    if (bridgeInterface) node.interfacePath = directory;
    const bool massStorage = node.interfaceClass == kClassMassStorage;

    const std::size_t index = Add(std::move(node), device);
    if (bridgeInterface) snapshot_.bridgeInterfaces.push_back(index);
    if (massStorage) AddDisks(index, directory);
  }

  void AddDisks(std::size_t interface, const std::string& directory) {
    for (const ScsiDisk& disk : ScsiDisksBelow(directory)) {
      SnapshotNode node;
      node.kind = NodeKind::Disk;
      node.id = snapshot_.nodes[interface].id + "/" + disk.name;
      if (node.id.size() > kMaxIdChars) continue;
      node.description = Joined(disk.vendor, disk.model);
      if (node.description.empty()) node.description = "SCSI disk";
      node.driver = disk.driver;
      node.blockName = disk.blockName;
      node.sgName = disk.sgName;
      node.interfacePath = settings_.paths.dev + "/" + (disk.sgName.empty() ? disk.blockName : disk.sgName);
      snapshot_.disks.push_back(Add(std::move(node), interface));
    }
  }

  const ScanSettings& settings_;
  const std::string devicesDirectory_;
  DeviceSnapshot snapshot_;
  std::map<std::string, std::size_t> indexByName_;
  std::map<std::string, std::vector<FoundInterface>> interfaces_;  // by device name
};

}  // namespace

int ReadWriteAccess(const std::string& path) {
  return ::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

DeviceSnapshot ScanDevices(const ScanSettings& settings) { return Scanner(settings).Run(); }

}  // namespace vx::platform::linux_backend
