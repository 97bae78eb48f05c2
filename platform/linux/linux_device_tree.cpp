#include "platform/linux/linux_device_tree.h"

#include <algorithm>

#include "base/text.h"
#include "platform/query_text.h"

namespace vx::platform::linux_backend {

namespace {

// Hubs and devices carry their ID as their driver key, so that what a hub
// port names can be found in the tree.
std::optional<std::string> PropertyOf(const SnapshotNode& node, DeviceProperty property) {
  switch (property) {
    case DeviceProperty::DeviceDesc:
      return node.description;
    case DeviceProperty::Service:
      if (!node.driver.empty()) return node.driver;
      break;
    case DeviceProperty::Driver:
      if (node.kind == NodeKind::Hub || node.kind == NodeKind::Device) return node.id;
      break;
    case DeviceProperty::FriendlyName:
    case DeviceProperty::LocationInformation:
      break;
  }
  return std::nullopt;
}

QueryResult ReadProperty(const SnapshotNode& node, DeviceProperty property, char16_t* buffer,
                         std::uint32_t& lengthBytes) {
  const auto value = PropertyOf(node, property);
  if (!value) return QueryResult::Failed;
  return CopyPropertyText(FromUtf8(*value), buffer, lengthBytes);
}

std::size_t ParentStep(const DeviceSnapshot& snapshot, std::size_t index) { return snapshot.nodes[index].parent; }

std::size_t ChildStep(const DeviceSnapshot& snapshot, std::size_t index) {
  const auto& children = snapshot.nodes[index].children;
  return children.empty() ? kNoNode : children.front();
}

std::size_t SiblingStep(const DeviceSnapshot& snapshot, std::size_t index) {
  const std::size_t parent = snapshot.nodes[index].parent;
  if (parent == kNoNode) return kNoNode;
  const auto& brothers = snapshot.nodes[parent].children;
  auto self = std::find(brothers.begin(), brothers.end(), index);
  if (self == brothers.end() || ++self == brothers.end()) return kNoNode;
  return *self;
}

}  // namespace

LinuxDeviceTree::LinuxDeviceTree(SystemPaths paths, NodeAccess access)
    : paths_(std::move(paths)), access_(std::move(access)) {}

void LinuxDeviceTree::SetBridgeIds(std::vector<UsbId> ids) {
  std::lock_guard guard(lock_);
  bridgeIds_ = std::move(ids);
}

std::shared_ptr<const DeviceSnapshot> LinuxDeviceTree::Rescan() {
  ScanSettings settings{paths_, {}, access_};
  {
    std::lock_guard guard(lock_);
    settings.bridgeIds = bridgeIds_;
  }
  auto snapshot = std::make_shared<const DeviceSnapshot>(ScanDevices(settings));
  std::lock_guard guard(lock_);
  latest_ = snapshot;
  return snapshot;
}

std::shared_ptr<const DeviceSnapshot> LinuxDeviceTree::Latest() {
  {
    std::lock_guard guard(lock_);
    if (latest_) return latest_;
  }
  return Rescan();
}

DevNode LinuxDeviceTree::NumberOf(const std::string& id) {
  std::lock_guard guard(lock_);
  const auto found = numbers_.find(id);
  if (found != numbers_.end()) return found->second;
  const auto number = static_cast<DevNode>(numbers_.size() + 1);
  numbers_.emplace(id, number);
  ids_.emplace(number, id);
  return number;
}

std::optional<LinuxDeviceTree::Located> LinuxDeviceTree::Locate(DevNode node) {
  const auto snapshot = Latest();
  std::string id;
  {
    std::lock_guard guard(lock_);
    const auto found = ids_.find(node);
    if (found == ids_.end()) return std::nullopt;
    id = found->second;
  }
  const auto index = snapshot->Find(id);
  if (!index) return std::nullopt;
  return Located{snapshot, *index};
}

DeviceInfoSet LinuxDeviceTree::GetClassDevs(const Guid& interfaceClass, std::uint32_t /*flags*/) {
  // sysfs shows only present devices, so the present flag selects nothing further.
  return sets_.Open({Rescan(), interfaceClass});
}

void LinuxDeviceTree::DestroyDeviceInfoList(DeviceInfoSet set) { sets_.Close(set); }

const SnapshotNode* LinuxDeviceTree::Member(const SetData& set, const DeviceInfoData& device) const {
  const auto& members = set.snapshot->Members(set.interfaceClass);
  if (device.reserved >= members.size()) return nullptr;
  const SnapshotNode& node = set.snapshot->nodes[members[device.reserved]];
  // The number was handed out with the member, so it is known.
  const auto known = numbers_.find(node.id);
  return known != numbers_.end() && known->second == device.devInst ? &node : nullptr;
}

bool LinuxDeviceTree::EnumDeviceInfo(DeviceInfoSet set, std::uint32_t index, DeviceInfoData& device) {
  const auto data = sets_.Find(set);
  if (!data) return false;
  const auto& members = data->snapshot->Members(data->interfaceClass);
  if (index >= members.size()) return false;
  device = {NumberOf(data->snapshot->nodes[members[index]].id), index};
  return true;
}

bool LinuxDeviceTree::EnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass, std::uint32_t index,
                                           DeviceInterfaceData& interfaceData) {
  const auto data = sets_.Find(set);
  // A set holds the interfaces of the one class it was made for.
  if (!data || !(data->interfaceClass == interfaceClass)) return false;
  if (index >= data->snapshot->Members(interfaceClass).size()) return false;
  interfaceData = {interfaceClass, static_cast<std::uintptr_t>(index) + 1};
  return true;
}

QueryResult LinuxDeviceTree::GetDeviceInstanceId(DeviceInfoSet set, const DeviceInfoData& device, char16_t* buffer,
                                                 std::uint32_t bufferChars, std::uint32_t& requiredChars) {
  const auto data = sets_.Find(set);
  if (!data) return QueryResult::Failed;
  std::lock_guard guard(lock_);
  const SnapshotNode* node = Member(*data, device);
  if (node == nullptr) return QueryResult::Failed;
  return CopyQueryText(FromUtf8(node->id), buffer, bufferChars, requiredChars);
}

QueryResult LinuxDeviceTree::GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& interfaceData,
                                                      char16_t* buffer, std::uint32_t bufferChars,
                                                      std::uint32_t& requiredChars, DeviceInfoData* device) {
  const auto data = sets_.Find(set);
  if (!data || !(data->interfaceClass == interfaceData.interfaceClass)) return QueryResult::Failed;
  const auto& members = data->snapshot->Members(data->interfaceClass);
  if (interfaceData.reserved == 0 || interfaceData.reserved > members.size()) return QueryResult::Failed;
  const std::size_t position = interfaceData.reserved - 1;
  const SnapshotNode& node = data->snapshot->nodes[members[position]];
  const QueryResult result = CopyQueryText(FromUtf8(node.interfacePath), buffer, bufferChars, requiredChars);
  if (result == QueryResult::Ok && device != nullptr) *device = {NumberOf(node.id), position};
  return result;
}

QueryResult LinuxDeviceTree::GetDeviceRegistryProperty(DeviceInfoSet set, const DeviceInfoData& device,
                                                       DeviceProperty property, char16_t* buffer,
                                                       std::uint32_t& lengthBytes) {
  const auto data = sets_.Find(set);
  if (!data) return QueryResult::Failed;
  std::lock_guard guard(lock_);
  const SnapshotNode* node = Member(*data, device);
  if (node == nullptr) return QueryResult::Failed;
  return ReadProperty(*node, property, buffer, lengthBytes);
}

bool LinuxDeviceTree::LocateDevNode(std::u16string_view instanceId, DevNode& node) {
  const auto snapshot = Latest();
  const auto index = instanceId.empty() ? std::optional<std::size_t>(0) : snapshot->Find(ToUtf8(instanceId));
  if (!index) return false;
  node = NumberOf(snapshot->nodes[*index].id);
  return true;
}

bool LinuxDeviceTree::Related(DevNode node, DevNode& related,
                              std::size_t (*step)(const DeviceSnapshot&, std::size_t)) {
  const auto located = Locate(node);
  if (!located) return false;
  const std::size_t next = step(*located->snapshot, located->index);
  if (next == kNoNode) return false;
  related = NumberOf(located->snapshot->nodes[next].id);
  return true;
}

bool LinuxDeviceTree::GetParent(DevNode node, DevNode& parent) { return Related(node, parent, ParentStep); }

bool LinuxDeviceTree::GetChild(DevNode node, DevNode& child) { return Related(node, child, ChildStep); }

bool LinuxDeviceTree::GetSibling(DevNode node, DevNode& sibling) { return Related(node, sibling, SiblingStep); }

bool LinuxDeviceTree::GetDeviceId(DevNode node, char16_t* buffer, std::uint32_t bufferChars) {
  const auto located = Locate(node);
  return located && CopyDeviceId(FromUtf8(located->snapshot->nodes[located->index].id), buffer, bufferChars);
}

QueryResult LinuxDeviceTree::GetDevNodeRegistryProperty(DevNode node, DeviceProperty property, char16_t* buffer,
                                                        std::uint32_t& lengthBytes) {
  const auto located = Locate(node);
  if (!located) return QueryResult::Failed;
  return ReadProperty(located->snapshot->nodes[located->index], property, buffer, lengthBytes);
}

}  // namespace vx::platform::linux_backend
