#include "platform/linux/device_snapshot.h"

#include <cstdio>

#include "base/ascii_text.h"
#include "base/text.h"

namespace vx::platform::linux_backend {

std::string DeviceText(const SnapshotNode& device) {
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04X:%04X", device.vendorId, device.productId);
  return "USB device " + device.id + " (" + ids + ")";
}

const std::vector<std::size_t>& DeviceSnapshot::Members(const Guid& interfaceClass) const {
  static const std::vector<std::size_t> kNone;
  if (interfaceClass == GUID_DEVINTERFACE_USB_DEVICE) return usbDevices;
  if (interfaceClass == GUID_DEVINTERFACE_USB_HUB) return hubs;
  if (interfaceClass == GUID_DEVINTERFACE_DISK) return disks;
  if (interfaceClass == BridgeInterfaceGuid) return bridgeInterfaces;
  return kNone;
}

std::optional<std::size_t> DeviceSnapshot::Find(std::string_view id) const {
  const auto found = byFoldedId_.find(LowerAscii(FromUtf8(id)));
  if (found == byFoldedId_.end()) return std::nullopt;
  return found->second;
}

void DeviceSnapshot::IndexIds() {
  byFoldedId_.clear();
  for (std::size_t i = 0; i < nodes.size(); ++i) byFoldedId_.emplace(LowerAscii(FromUtf8(nodes[i].id)), i);
}

std::optional<std::size_t> DeviceSnapshot::FindInterface(const Guid& interfaceClass, std::string_view path) const {
  for (const std::size_t member : Members(interfaceClass)) {
    if (nodes[member].interfacePath == path) return member;
  }
  return std::nullopt;
}

std::optional<std::size_t> DeviceSnapshot::PortChild(std::size_t hub, std::uint32_t port) const {
  for (const std::size_t child : nodes[hub].children) {
    const auto& ports = nodes[child].address.ports;
    if (!ports.empty() && ports.back() == port) return child;
  }
  return std::nullopt;
}

}  // namespace vx::platform::linux_backend
