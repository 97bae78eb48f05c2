#include "discovery/hub_list.h"

#include <vector>

#include "base/ascii_text.h"
#include "discovery/device_enum.h"
#include "discovery/scoped_handles.h"

namespace vx {

namespace {

using platform::DevNode;

// Bytes read for the driver key and description of each node in the walk.
constexpr std::uint32_t kWalkPropertyBytes = 400;

bool ReadNodeText(DevNode node, platform::DeviceProperty property, char16_t (&text)[kWalkPropertyBytes / 2]) {
  std::uint32_t size = kWalkPropertyBytes;
  std::fill(std::begin(text), std::end(text), u'\0');
  return platform::DeviceTree().GetDevNodeRegistryProperty(node, property, text, size) == platform::QueryResult::Ok;
}

// The next node of a pre-order walk: first child, else next sibling, else the
// next sibling of the nearest ancestor that has one; 0 at the end.
DevNode NextInWalk(DevNode node) {
  auto& tree = platform::DeviceTree();
  DevNode next = 0;
  if (tree.GetChild(node, next) || tree.GetSibling(node, next)) return next;
  for (DevNode climb = node;;) {
    DevNode parent = 0;
    if (!tree.GetParent(climb, parent)) return 0;
    if (tree.GetSibling(parent, next)) return next;
    climb = parent;
  }
}

// The driver key of what is plugged into a port: a size query, then the name.
bool ReadDriverKey(platform::DeviceHandle hub, std::uint32_t port, std::vector<char16_t>& name) {
  auto& hubs = platform::Hubs();
  std::uint32_t required = 0;
  if (!hubs.GetConnectionDriverKeyName(hub, port, nullptr, 0, required) || required <= 1) return false;
  name.assign(required, u'\0');
  if (!hubs.GetConnectionDriverKeyName(hub, port, name.data(), required, required)) return false;
  name.back() = u'\0';
  return true;
}

// Fills the entry's port table: the connection of every port and, for a
// connected one, the node plugged into it. A hub whose ports are all empty
// keeps its zeroed table and can match nothing.
void BuildPortTable(platform::DeviceHandle hub, std::uint32_t count, HubEntry& entry) {
  entry.ports.assign(count, PortEntry{});
  for (std::uint32_t port = 1; port <= count; ++port) {
    PortEntry& slot = entry.ports[port - 1];
    if (!platform::Hubs().GetNodeConnectionInformation(hub, port, slot.connection) ||
        slot.connection.connectionStatus != platform::kDeviceConnected)
      continue;
    std::vector<char16_t> driverKey;
    if (ReadDriverKey(hub, port, driverKey)) slot.devInst = DevNodeFromDriverKey(driverKey.data());
  }
}

}  // namespace

DevNode DevNodeFromDriverKey(std::u16string_view driverKey) {
  DevNode node = 0;
  if (!platform::DeviceTree().LocateDevNode(u"", node)) return 0;
  char16_t text[kWalkPropertyBytes / 2];
  while (node != 0) {
    if (ReadNodeText(node, platform::DeviceProperty::Driver, text) && EqualsIgnoreCase(TextOf(text), driverKey))
      return ReadNodeText(node, platform::DeviceProperty::DeviceDesc, text) ? node : 0;
    node = NextInWalk(node);
  }
  return 0;
}

bool BuildHubList(HubList& list) {
  FreeHubList(list);
  const std::uint32_t count = CountInterfaces(platform::GUID_DEVINTERFACE_USB_HUB);
  ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_HUB, kPresentProfileInterfaces));
  if (!set) return false;
  list.hubs.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    HubEntry& entry = list.hubs[i];
    char16_t id[kTextChars] = {};
    std::uint32_t idLength = kTextBytes;
    if (!GetInstanceId(set.Get(), i, id, idLength)) continue;
    char16_t path[kTextChars] = {};
    std::uint32_t pathLength = kTextBytes;
    if (!FindInterfacePath(platform::GUID_DEVINTERFACE_USB_HUB, TextOf(id), path, pathLength)) continue;
    SetText(entry.instanceId, TextOf(id));
    ScopedHub hub(platform::Hubs().Open(TextOf(path)));
    if (!hub) continue;
    platform::HubNodeInformation info;
    if (!platform::Hubs().GetNodeInformation(hub.Get(), info)) continue;
    entry.nodeInfo = info;
    const bool isHub = info.nodeType == platform::HubNodeType::UsbHub;
    BuildPortTable(hub.Get(), isHub ? info.numberOfPorts : info.numberOfInterfaces, entry);
  }
  return true;
}

void FreeHubList(HubList& list) {
  list.hubs.clear();
  list.hubs.shrink_to_fit();
}

}  // namespace vx
