// One reading of the machine's USB devices, shaped as the device tree that
// discovery walks rather than as raw sysfs:
//
//   root ("usb")
//     root hubs ("usb1", "usb2", ...), by bus number
//       the devices plugged into a hub, by port (an external hub again
//       holds the devices plugged into it)
//         a device's interfaces ("2-1:1.0", ...), by interface number
//           below a mass-storage interface, one disk per direct-access LUN
//           that has a block device ("2-1:1.0/3:0:0:0"), by SCSI address
//
// Each node's ID is its sysfs name; every USB node has a description. The
// interface classes list their members in bus and port-path order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_classes.h"
#include "platform/linux/usb_names.h"

namespace vx::platform::linux_backend {

inline constexpr std::size_t kNoNode = static_cast<std::size_t>(-1);
// The ID of the tree's root.
inline constexpr char kRootId[] = "usb";

enum class NodeKind : std::uint8_t { Root, Hub, Device, Interface, Disk };

struct SnapshotNode {
  NodeKind kind = NodeKind::Root;
  std::string id;
  std::size_t parent = kNoNode;
  std::vector<std::size_t> children;
  std::string description;
  std::string driver;         // the kernel driver bound to it; empty when none
  std::string interfacePath;  // its path in its interface class; empty when in none

  // Hubs and devices.
  UsbAddress address;
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint8_t speedCode = 0;    // 0 low, 1 full, 2 high, 3 super speed or faster
  std::uint32_t portCount = 0;   // hubs
  std::string usbfsPath;         // /dev/bus/usb/BBB/DDD; empty without a device number
  bool listedBridge = false;     // its vendor and product ID are among the bridge IDs

  // Interfaces.
  std::uint8_t interfaceClass = 0;

  // Disks.
  std::string blockName;  // "sdb"
  std::string sgName;     // "sg2"; empty when the generic SCSI driver is not loaded
};

// "USB device 2-1 (1B7E:94C6)": how messages name a device.
std::string DeviceText(const SnapshotNode& device);

struct DeviceSnapshot {
  std::vector<SnapshotNode> nodes;  // nodes[0] is the root
  std::vector<std::size_t> usbDevices;        // GUID_DEVINTERFACE_USB_DEVICE: devices that are no hubs
  std::vector<std::size_t> hubs;              // GUID_DEVINTERFACE_USB_HUB: root hubs included
  std::vector<std::size_t> disks;             // GUID_DEVINTERFACE_DISK
  std::vector<std::size_t> bridgeInterfaces;  // BridgeInterfaceGuid
  // Why a device that looks like a bridge may not be reachable, for the
  // operator: one sentence each.
  std::vector<std::string> notices;

  // The members of an interface class; empty for a class not served here.
  const std::vector<std::size_t>& Members(const Guid& interfaceClass) const;
  // The node with that ID, compared ignoring case.
  std::optional<std::size_t> Find(std::string_view id) const;
  // Makes Find work; called once every node is in place.
  void IndexIds();
  // The member of an interface class with that interface path.
  std::optional<std::size_t> FindInterface(const Guid& interfaceClass, std::string_view path) const;
  // The node that a port of a hub leads to.
  std::optional<std::size_t> PortChild(std::size_t hub, std::uint32_t port) const;

 private:
  std::map<std::u16string, std::size_t> byFoldedId_;  // IDs with ASCII letters lowered
};

}  // namespace vx::platform::linux_backend
