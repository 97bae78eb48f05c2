#include "platform/sim/machine_devices.h"

#include <cstdio>
#include <stdexcept>

#include "base/ascii_text.h"

namespace vx::platform::sim {

namespace {

constexpr char16_t kUsbClassKey[] = u"{36fc9e60-c465-11cf-8056-444553540000}";
constexpr char16_t kMountedDevices[] = u"SYSTEM\\MountedDevices";

template <typename... Args>
std::u16string Format(const char* format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  return Widen(text);
}

std::u16string GuidText(const platform::Guid& guid) {
  return Format("{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", guid.data1, guid.data2, guid.data3,
                guid.data4[0], guid.data4[1], guid.data4[2], guid.data4[3], guid.data4[4], guid.data4[5],
                guid.data4[6], guid.data4[7]);
}

// "\\?\" + the instance ID with '\' as '#', lowered, + "#{class}".
std::u16string InterfacePathOf(std::u16string_view instanceId, const platform::Guid& interfaceClass) {
  std::u16string path = u"\\\\?\\" + LowerAscii(instanceId);
  for (std::size_t i = 4; i < path.size(); ++i)
    if (path[i] == u'\\') path[i] = u'#';
  return path + u"#" + GuidText(interfaceClass);
}

// A stable number derived from a text, for the unique parts of made-up IDs.
std::uint32_t TextHash(std::u16string_view text) {
  std::uint32_t hash = 2166136261u;
  for (char16_t c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

std::uint8_t TakePort(MachineHub& hub, std::uint8_t port) {
  if (port == 0) {
    for (std::size_t i = 0; i < hub.ports.size(); ++i)
      if (!hub.ports[i].connected) return static_cast<std::uint8_t>(i + 1);
    throw std::invalid_argument("no free port on the simulated hub");
  }
  if (port > hub.ports.size() || hub.ports[port - 1].connected)
    throw std::invalid_argument("simulated hub port missing or taken");
  return port;
}

NodeId AddChild(SimMachine& machine, NodeId parent, std::u16string instanceId, NodeProperties properties) {
  const NodeId node = machine.AddNode(parent, std::move(instanceId), std::move(properties));
  // Every node with a driver has a key of its own; the hub list matches them.
  machine.Node(node).properties.driverKey = Format("{4d36e967-e325-11ce-bfc1-08002be10318}\\%04u", node);
  return node;
}

NodeId AddDiskNode(SimMachine& machine, NodeId parent, const BridgeNodesOptions& options, BridgeNodes& nodes) {
  const auto instanceId = Format("USBSTOR\\DISK&VEN_%s&PROD_%s&REV_0100\\%s&0", options.diskVendor.c_str(),
                                 options.diskProduct.c_str(), options.serial.c_str());
  const auto friendlyName = Widen(options.diskVendor + " " + options.diskProduct + " USB Device");
  const NodeId disk =
      AddChild(machine, parent, instanceId, {friendlyName, u"Disk drive", u"disk", std::nullopt, std::nullopt});
  nodes.diskNode = disk;
  nodes.diskPath = InterfacePathOf(instanceId, platform::GUID_DEVINTERFACE_DISK);
  machine.AddInterface(disk, platform::GUID_DEVINTERFACE_DISK, nodes.diskPath);
  auto& sector = machine.AddDisk(nodes.diskPath).sector0;
  for (int i = 0; i < 4; ++i) sector[440 + i] = static_cast<std::uint8_t>(options.diskSignature >> (8 * i));
  sector[510] = 0x55;
  sector[511] = 0xAA;
  return disk;
}

void MakeWinUsbSide(SimMachine& machine, NodeId node, BridgeNodes& nodes) {
  nodes.winusbNode = node;
  nodes.winusbPath = InterfacePathOf(machine.Node(node).instanceId, platform::BridgeInterfaceGuid);
  machine.AddInterface(node, platform::BridgeInterfaceGuid, nodes.winusbPath);
}

}  // namespace

NodeId AddRootHub(SimMachine& machine, std::uint8_t ports) {
  const auto number = static_cast<unsigned>(machine.Hubs().size() + 1);
  const NodeId controller =
      AddChild(machine, machine.Root(), Format("PCI\\VEN_8086&DEV_A36D&SUBSYS_00000000&REV_10\\3&11583659&0&%02X", number),
               {std::nullopt, u"USB xHCI Compliant Host Controller", u"USBXHCI", std::nullopt, std::nullopt});
  const auto instanceId = Format("USB\\ROOT_HUB30\\4&2F3C1A%02X&0&0", number);
  const NodeId root =
      AddChild(machine, controller, instanceId, {std::nullopt, u"USB Root Hub (USB 3.0)", u"USBHUB3", std::nullopt, std::nullopt});
  auto& hub = machine.AddHub(root, InterfacePathOf(instanceId, platform::GUID_DEVINTERFACE_USB_HUB), ports);
  hub.locationNumber = static_cast<int>(number);
  return root;
}

NodeId PlugUsbDevice(SimMachine& machine, const UsbPlug& plug, const std::u16string& instanceId,
                     NodeProperties properties) {
  MachineHub* hub = machine.HubOf(plug.hub);
  if (hub == nullptr) throw std::invalid_argument("USB device plugged into a node that is no hub");
  const std::uint8_t port = TakePort(*hub, plug.port);
  const int hubNumber = hub->locationNumber;  // read before the machine's hub list may grow

  const NodeId device = machine.AddNode(plug.hub, instanceId, std::move(properties));
  auto& props = machine.Node(device).properties;
  props.driverKey = std::u16string(kUsbClassKey) + Format("\\%04u", device);
  switch (plug.location) {
    case LocationText::WellFormed:
      props.location = Format("Port_#%04u.Hub_#%04d", port, hubNumber);
      break;
    case LocationText::Malformed:
      props.location = Format("0000.0014.0000.%03u.000.000.000.000.000", port);
      break;
    case LocationText::Missing:
      props.location.reset();
      break;
  }
  auto& slot = hub->ports[port - 1];
  slot.connected = true;
  slot.device = device;
  slot.speed = plug.speed;
  machine.AddInterface(device, platform::GUID_DEVINTERFACE_USB_DEVICE,
                       InterfacePathOf(instanceId, platform::GUID_DEVINTERFACE_USB_DEVICE));
  return device;
}

NodeId AddExternalHub(SimMachine& machine, const UsbPlug& plug, std::uint8_t ports) {
  const auto number = static_cast<unsigned>(machine.Hubs().size() + 1);
  const auto instanceId = Format("USB\\VID_2109&PID_2817\\5&1A0B%04X&0&1", number);
  const NodeId node =
      PlugUsbDevice(machine, plug, instanceId, {std::nullopt, u"Generic USB Hub", u"USBHUB3", std::nullopt, std::nullopt});
  auto& hub = machine.AddHub(node, InterfacePathOf(instanceId, platform::GUID_DEVINTERFACE_USB_HUB), ports);
  hub.locationNumber = static_cast<int>(number);
  return node;
}

NodeId AddHidDevice(SimMachine& machine, const UsbPlug& plug, const std::string& serial) {
  const NodeId device = PlugUsbDevice(machine, plug, Format("USB\\VID_046D&PID_C077\\%s", serial.c_str()),
                                      {std::nullopt, u"USB Input Device", u"HidUsb", std::nullopt, std::nullopt});
  AddChild(machine, device, Format("HID\\VID_046D&PID_C077\\7&%08X&0&0000", TextHash(Widen(serial))),
           {std::nullopt, u"HID-compliant mouse", u"mouhid", std::nullopt, std::nullopt});
  return device;
}

BridgeNodes AddBridgeNodes(SimMachine& machine, const UsbPlug& plug, const BridgeNodesOptions& options) {
  BridgeNodes nodes;
  const auto usbId = Format("USB\\VID_%04X&PID_%04X\\%s", options.vendorId, options.productId, options.serial.c_str());
  const bool composite = options.layout == BridgeLayout::Composite;
  const bool winusbDevice =
      options.layout == BridgeLayout::WinUsbOnly || options.layout == BridgeLayout::WinUsbOnDevice;
  NodeProperties usbProperties{std::nullopt, composite ? u"USB Composite Device" : u"USB Mass Storage Device",
                               composite ? u"usbccgp" : u"USBSTOR", std::nullopt, std::nullopt};
  if (winusbDevice) usbProperties = {u"VX94C6 Bridge", u"WinUsb Device", u"WinUSB", std::nullopt, std::nullopt};
  nodes.usbDevice = PlugUsbDevice(machine, plug, usbId, usbProperties);

  switch (options.layout) {
    case BridgeLayout::DiskOnly:
      AddDiskNode(machine, nodes.usbDevice, options, nodes);
      break;
    case BridgeLayout::WinUsbOnly:
      MakeWinUsbSide(machine, nodes.usbDevice, nodes);
      break;
    case BridgeLayout::WinUsbOnDevice:
      MakeWinUsbSide(machine, nodes.usbDevice, nodes);
      AddDiskNode(machine, nodes.usbDevice, options, nodes);
      break;
    case BridgeLayout::Composite: {
      const auto hash = TextHash(Widen(options.serial));
      const NodeId storage = AddChild(
          machine, nodes.usbDevice,
          Format("USB\\VID_%04X&PID_%04X&MI_00\\7&%08X&0&0000", options.vendorId, options.productId, hash),
          {std::nullopt, u"USB Mass Storage Device", u"USBSTOR", std::nullopt, std::nullopt});
      AddDiskNode(machine, storage, options, nodes);
      const NodeId winusb = AddChild(
          machine, nodes.usbDevice,
          Format("USB\\VID_%04X&PID_%04X&MI_01\\7&%08X&0&0001", options.vendorId, options.productId, hash),
          {u"VX94C6 Bridge", u"WinUsb Device", u"WinUSB", std::nullopt, std::nullopt});
      MakeWinUsbSide(machine, winusb, nodes);
      break;
    }
  }
  return nodes;
}

std::u16string EnumKeyOf(const SimMachine& machine, NodeId node) {
  return u"SYSTEM\\CurrentControlSet\\Enum\\" + machine.Node(node).instanceId;
}

void AddVolume(SimMachine& machine, char letter, const BridgeNodes& nodes, VolumeBinding binding) {
  if (letter < 'A' || letter > 'Z' || nodes.diskNode == 0)
    throw std::invalid_argument("a volume needs a drive letter A-Z and a disk");
  machine.logicalDrives |= 1u << (letter - 'A');
  const auto valueName = Format("\\DosDevices\\%c:", letter);
  auto& registry = machine.Registry();
  const MachineDisk* disk = machine.FindDisk(nodes.diskPath);
  switch (binding) {
    case VolumeBinding::Signature: {
      MachineRegistry::Bytes data(disk->sector0.begin() + 440, disk->sector0.begin() + 444);
      data.insert(data.end(), {0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00});  // partition at 1 MiB
      registry.SetValue(kMountedDevices, valueName, data);
      break;
    }
    case VolumeBinding::DevicePath:
      registry.SetText(kMountedDevices, valueName, u"\\??\\" + nodes.diskPath.substr(4), false);
      break;
    case VolumeBinding::InstanceId:
      registry.SetText(kMountedDevices, valueName, u"\\??\\" + machine.Node(nodes.diskNode).instanceId, false);
      break;
    case VolumeBinding::RemovableMedia: {
      const auto prefix = Format("8&%08x&0", TextHash(machine.Node(nodes.diskNode).instanceId));
      registry.SetText(EnumKeyOf(machine, nodes.diskNode), u"ParentIdPrefix", prefix, true);
      registry.SetText(kMountedDevices, valueName,
                       u"\\??\\STORAGE#RemovableMedia#" + prefix + u"&RM#" + GuidText(platform::GUID_DEVINTERFACE_DISK),
                       false);
      break;
    }
  }
}

}  // namespace vx::platform::sim
