#include "platform/linux/linux_hubs.h"

#include "base/text.h"
#include "platform/query_text.h"

namespace vx::platform::linux_backend {

DeviceHandle LinuxHubs::Open(std::u16string_view hubPath) {
  auto snapshot = tree_.Latest();
  const auto index = snapshot->FindInterface(GUID_DEVINTERFACE_USB_HUB, ToUtf8(hubPath));
  if (!index) return DeviceHandle::None;
  return handles_.Open({std::move(snapshot), *index});
}

bool LinuxHubs::GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) {
  const auto opened = handles_.Find(hub);
  if (!opened) return false;
  information.nodeType = HubNodeType::UsbHub;
  information.numberOfPorts = static_cast<std::uint8_t>(opened->snapshot->nodes[opened->index].portCount);
  information.numberOfInterfaces = 0;
  return true;
}

const SnapshotNode* LinuxHubs::PortDevice(const OpenHub& hub, std::uint32_t connectionIndex) {
  const auto child = hub.snapshot->PortChild(hub.index, connectionIndex);
  return child ? &hub.snapshot->nodes[*child] : nullptr;
}

bool LinuxHubs::GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                             PortConnectionInformation& information) {
  const auto opened = handles_.Find(hub);
  if (!opened || connectionIndex == 0 || connectionIndex > opened->snapshot->nodes[opened->index].portCount)
    return false;
  const SnapshotNode* device = PortDevice(*opened, connectionIndex);
  information.connectionStatus = device != nullptr ? kDeviceConnected : 0;
  information.speed = device != nullptr ? device->speedCode : 0;
  return true;
}

bool LinuxHubs::GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                           std::uint32_t bufferChars, std::uint32_t& requiredChars) {
  const auto opened = handles_.Find(hub);
  const SnapshotNode* device = opened ? PortDevice(*opened, connectionIndex) : nullptr;
  if (device == nullptr) return false;
  return CopyDriverKeyName(FromUtf8(device->id), buffer, bufferChars, requiredChars);
}

void LinuxHubs::Close(DeviceHandle hub) { handles_.Close(hub); }

}  // namespace vx::platform::linux_backend
