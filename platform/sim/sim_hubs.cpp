#include "platform/sim/sim_hubs.h"

#include "platform/query_text.h"

namespace vx::platform::sim {

DeviceHandle SimHubs::Open(std::u16string_view hubPath) {
  MachineHub* hub = machine_.FindHub(hubPath);
  if (hub == nullptr || hub->failOpen) return DeviceHandle::None;
  return handles_.Open(hub);
}

bool SimHubs::GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) {
  const auto target = handles_.Find(hub);
  if (!target || (*target)->failNodeInformation) return false;
  const MachineHub& entry = **target;
  information.nodeType = entry.multiInterfaceParent ? HubNodeType::UsbMIParent : HubNodeType::UsbHub;
  information.numberOfPorts = static_cast<std::uint8_t>(entry.ports.size());
  information.numberOfInterfaces = entry.interfaceCount;
  return true;
}

const MachinePort* SimHubs::PortOf(DeviceHandle hub, std::uint32_t connectionIndex) const {
  const auto target = handles_.Find(hub);
  if (!target || connectionIndex == 0 || connectionIndex > (*target)->ports.size()) return nullptr;
  const MachinePort& port = (*target)->ports[connectionIndex - 1];
  return port.failQuery ? nullptr : &port;
}

bool SimHubs::GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                           PortConnectionInformation& information) {
  const MachinePort* port = PortOf(hub, connectionIndex);
  if (port == nullptr) return false;
  information.connectionStatus = port->connected ? kDeviceConnected : 0;
  information.speed = port->speed;
  return true;
}

bool SimHubs::GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                         std::uint32_t bufferChars, std::uint32_t& requiredChars) {
  const MachinePort* port = PortOf(hub, connectionIndex);
  if (port == nullptr || !port->connected || !machine_.IsNode(port->device)) return false;
  const auto& key = machine_.Node(port->device).properties.driverKey;
  if (!key) return false;
  return CopyDriverKeyName(*key, buffer, bufferChars, requiredChars);
}

void SimHubs::Close(DeviceHandle hub) { handles_.Close(hub); }

}  // namespace vx::platform::sim
