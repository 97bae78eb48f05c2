#include "platform/sim/sim_device_tree.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/query_text.h"

namespace vx::platform::sim {

namespace {

const std::optional<std::u16string>& PropertyOf(const NodeProperties& properties, DeviceProperty property) {
  switch (property) {
    case DeviceProperty::DeviceDesc:
      return properties.deviceDesc;
    case DeviceProperty::Service:
      return properties.service;
    case DeviceProperty::Driver:
      return properties.driverKey;
    case DeviceProperty::FriendlyName:
      return properties.friendlyName;
    case DeviceProperty::LocationInformation:
      break;
  }
  return properties.location;
}

}  // namespace

// Every interface in the machine is present and in the current profile, so
// the flags select nothing further.
DeviceInfoSet SimDeviceTree::GetClassDevs(const Guid& interfaceClass, std::uint32_t /*flags*/) {
  const auto& failing = machine_.failingSetClasses;
  if (std::find(failing.begin(), failing.end(), interfaceClass) != failing.end()) return DeviceInfoSet::None;

  SetData data;
  const auto& interfaces = machine_.Interfaces();
  for (std::size_t i = 0; i < interfaces.size(); ++i) {
    if (!(interfaces[i].interfaceClass == interfaceClass)) continue;
    data.interfaces.push_back(i);
    const auto node = interfaces[i].node;
    if (std::find(data.devices.begin(), data.devices.end(), node) == data.devices.end()) data.devices.push_back(node);
  }
  ++setsMade_;
  return sets_.Open(std::move(data));
}

void SimDeviceTree::DestroyDeviceInfoList(DeviceInfoSet set) { sets_.Close(set); }

bool SimDeviceTree::IsMember(const SetData& data, const DeviceInfoData& device) const {
  return device.reserved < data.devices.size() && data.devices[device.reserved] == device.devInst;
}

bool SimDeviceTree::EnumDeviceInfo(DeviceInfoSet set, std::uint32_t index, DeviceInfoData& device) {
  const auto data = sets_.Find(set);
  if (!data || index >= data->devices.size()) return false;
  device = {data->devices[index], index};
  return true;
}

bool SimDeviceTree::EnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass, std::uint32_t index,
                                         DeviceInterfaceData& interfaceData) {
  const auto data = sets_.Find(set);
  if (!data) return false;
  std::uint32_t seen = 0;
  for (std::size_t i : data->interfaces) {
    if (!(machine_.Interfaces()[i].interfaceClass == interfaceClass)) continue;
    if (seen++ == index) {
      interfaceData = {interfaceClass, i + 1};
      return true;
    }
  }
  return false;
}

QueryResult SimDeviceTree::GetDeviceInstanceId(DeviceInfoSet set, const DeviceInfoData& device, char16_t* buffer,
                                               std::uint32_t bufferChars, std::uint32_t& requiredChars) {
  const auto data = sets_.Find(set);
  if (!data || !IsMember(*data, device)) return QueryResult::Failed;
  return CopyQueryText(machine_.Node(device.devInst).instanceId, buffer, bufferChars, requiredChars);
}

QueryResult SimDeviceTree::GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& interfaceData,
                                                    char16_t* buffer, std::uint32_t bufferChars,
                                                    std::uint32_t& requiredChars, DeviceInfoData* device) {
  const auto data = sets_.Find(set);
  if (!data) return QueryResult::Failed;
  const std::size_t index = interfaceData.reserved - 1;
  if (std::find(data->interfaces.begin(), data->interfaces.end(), index) == data->interfaces.end())
    return QueryResult::Failed;
  const auto& entry = machine_.Interfaces()[index];
  const QueryResult result = CopyQueryText(entry.path, buffer, bufferChars, requiredChars);
  if (result == QueryResult::Ok && device != nullptr) {
    const auto position = std::find(data->devices.begin(), data->devices.end(), entry.node) - data->devices.begin();
    *device = {entry.node, static_cast<std::uintptr_t>(position)};
  }
  return result;
}

QueryResult SimDeviceTree::ReadProperty(NodeId node, DeviceProperty property, char16_t* buffer,
                                        std::uint32_t& lengthBytes) const {
  const auto& value = PropertyOf(machine_.Node(node).properties, property);
  if (!value) return QueryResult::Failed;
  return CopyPropertyText(*value, buffer, lengthBytes);
}

QueryResult SimDeviceTree::GetDeviceRegistryProperty(DeviceInfoSet set, const DeviceInfoData& device,
                                                     DeviceProperty property, char16_t* buffer,
                                                     std::uint32_t& lengthBytes) {
  const auto data = sets_.Find(set);
  if (!data || !IsMember(*data, device)) return QueryResult::Failed;
  return ReadProperty(device.devInst, property, buffer, lengthBytes);
}

bool SimDeviceTree::LocateDevNode(std::u16string_view instanceId, DevNode& node) {
  const NodeId found = instanceId.empty() ? machine_.Root() : machine_.FindNode(instanceId);
  if (found == 0) return false;
  node = found;
  return true;
}

bool SimDeviceTree::GetParent(DevNode node, DevNode& parent) {
  if (!machine_.IsNode(node) || machine_.Node(node).parent == 0) return false;
  parent = machine_.Node(node).parent;
  return true;
}

bool SimDeviceTree::GetChild(DevNode node, DevNode& child) {
  if (!machine_.IsNode(node) || machine_.Node(node).children.empty()) return false;
  child = machine_.Node(node).children.front();
  return true;
}

bool SimDeviceTree::GetSibling(DevNode node, DevNode& sibling) {
  if (!machine_.IsNode(node) || machine_.Node(node).parent == 0) return false;
  const auto& brothers = machine_.Node(machine_.Node(node).parent).children;
  auto self = std::find(brothers.begin(), brothers.end(), node);
  if (self == brothers.end() || ++self == brothers.end()) return false;
  sibling = *self;
  return true;
}

bool SimDeviceTree::GetDeviceId(DevNode node, char16_t* buffer, std::uint32_t bufferChars) {
  return machine_.IsNode(node) && CopyDeviceId(machine_.Node(node).instanceId, buffer, bufferChars);
}

QueryResult SimDeviceTree::GetDevNodeRegistryProperty(DevNode node, DeviceProperty property, char16_t* buffer,
                                                      std::uint32_t& lengthBytes) {
  if (!machine_.IsNode(node)) return QueryResult::Failed;
  return ReadProperty(node, property, buffer, lengthBytes);
}

std::size_t SimDeviceTree::OpenSets() const { return sets_.OpenCount(); }

std::size_t SimDeviceTree::SetsMade() const { return setsMade_; }

}  // namespace vx::platform::sim
