// Builders for the devices a simulated machine holds, laid out in the device
// tree the way the operating system shows them: a host controller with its
// root hub, USB devices plugged into hub ports (with driver keys, location
// strings and the USB device interface), bridge-shaped devices with a disk
// side and/or a WinUSB side, external hubs, plain devices, and the volumes
// that tie drive letters to a disk in the registry.
#pragma once

#include <cstdint>
#include <string>

#include "emulator/chip_info.h"
#include "platform/sim/sim_machine.h"

namespace vx::platform::sim {

// How a port's device shows its location string.
enum class LocationText {
  WellFormed,  // "Port_#0002.Hub_#0004"
  Malformed,   // text the pattern does not match
  Missing,     // no location property
};

// Where a USB device is plugged in.
struct UsbPlug {
  NodeId hub = 0;              // a node made a hub (root hub or external hub)
  std::uint8_t port = 0;       // 1-based; 0 takes the hub's first free port
  std::uint8_t speed = 2;      // speed code of the connection (2: high speed)
  LocationText location = LocationText::WellFormed;
};

// Adds a PCI host controller and its root hub with `ports` ports. Returns the
// root hub's node. Root hubs get location numbers 1, 2, ... in the order made.
NodeId AddRootHub(SimMachine& machine, std::uint8_t ports = 8);

// Adds a USB device node under the hub of `plug`, connects the port, gives it
// a unique driver key, the location string the plug asks for and the USB
// device interface. `instanceId` like "USB\VID_1234&PID_5678\SERIAL".
NodeId PlugUsbDevice(SimMachine& machine, const UsbPlug& plug, const std::u16string& instanceId,
                     NodeProperties properties);

// An external hub plugged into `plug`, with `ports` ports of its own.
NodeId AddExternalHub(SimMachine& machine, const UsbPlug& plug, std::uint8_t ports = 4);

// A plain USB device with one child that exposes no interface discovery looks
// for (a keyboard or mouse: HID).
NodeId AddHidDevice(SimMachine& machine, const UsbPlug& plug, const std::string& serial);

// Where a bridge-shaped device exposes its two sides.
enum class BridgeLayout {
  DiskOnly,        // USB device -> disk child (mass storage alone)
  WinUsbOnly,      // the USB device node itself is the WinUSB interface
  Composite,       // USB device -> MI_00 -> disk; USB device -> MI_01 (WinUSB)
  WinUsbOnDevice,  // the USB device node is the WinUSB interface, its child the disk
};

struct BridgeNodesOptions {
  BridgeLayout layout = BridgeLayout::Composite;
  std::string serial = "VX0001";
  std::uint16_t vendorId = emu::kBridgeVendorId;
  std::uint16_t productId = emu::kBridgeProductId;
  std::uint32_t diskSignature = 0;  // MBR signature in the disk's sector 0
  std::string diskVendor = "TARVENIX";  // vendor and product of the disk's instance ID
  std::string diskProduct = "VX94C6";
};

struct BridgeNodes {
  NodeId usbDevice = 0;
  NodeId diskNode = 0;    // 0 when the layout has no disk side
  NodeId winusbNode = 0;  // 0 when the layout has no WinUSB side
  std::u16string diskPath;
  std::u16string winusbPath;
};

// The nodes, interfaces and disk of a device shaped like a bridge. Whether it
// answers as one depends on what is attached to its paths.
BridgeNodes AddBridgeNodes(SimMachine& machine, const UsbPlug& plug, const BridgeNodesOptions& options);

// How a volume's entry under "SYSTEM\MountedDevices" names its disk.
enum class VolumeBinding {
  Signature,       // 12 bytes: the disk signature and a partition offset
  DevicePath,      // the disk's interface path as a native device path text
  InstanceId,      // the disk node's instance ID behind a native prefix
  RemovableMedia,  // a "STORAGE#RemovableMedia" path carrying the disk's ParentIdPrefix
};

// Makes `letter` a present drive (logical-drive mask) and records its entry
// under "SYSTEM\MountedDevices" for the disk of `nodes`. The removable-media
// binding also gives the disk's Enum key its "ParentIdPrefix".
void AddVolume(SimMachine& machine, char letter, const BridgeNodes& nodes, VolumeBinding binding);

// The registry key path of a node's Enum entry.
std::u16string EnumKeyOf(const SimMachine& machine, NodeId node);

}  // namespace vx::platform::sim
