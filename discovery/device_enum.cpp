#include "discovery/device_enum.h"

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "base/ascii_text.h"
#include "discovery/scoped_handles.h"
#include "platform/system_api.h"

namespace vx {

namespace {

using platform::DeviceInfoData;
using platform::DevNode;
using platform::QueryResult;

void ZeroFill(char16_t* out, std::uint32_t lengthBytes) { std::fill(out, out + lengthBytes / 2, u'\0'); }

// The node of a relation (parent, first child, next sibling) of the node
// with that instance ID, as its device ID of at most 200 characters.
template <typename Step>
bool RelatedId(std::u16string_view instanceId, char16_t* out, Step step) {
  if (!IsNtPlatform()) return false;
  auto& tree = platform::DeviceTree();
  DevNode node = 0;
  DevNode related = 0;
  if (!tree.LocateDevNode(instanceId, node) || !step(tree, node, related)) return false;
  char16_t id[kDeviceIdChars + 1] = {};
  if (!tree.GetDeviceId(related, id, kDeviceIdChars)) return false;
  std::copy(std::begin(id), std::end(id), out);
  return true;
}

std::uint32_t LengthOf(const char16_t* text) {
  std::uint32_t n = 0;
  while (text[n] != u'\0') ++n;
  return n;
}

}  // namespace

bool IsNtPlatform() {
  platform::OsVersion version;
  return platform::System().GetVersion(version) && version.platformId == platform::kPlatformWin32Nt;
}

std::uint32_t CountInterfaces(const platform::Guid& interfaceClass) {
  auto& tree = platform::DeviceTree();
  ScopedInfoSet set(tree.GetClassDevs(interfaceClass, kPresentInterfaces));
  if (!set) return 0;
  std::uint32_t count = 0;
  platform::DeviceInterfaceData interfaceData;
  while (tree.EnumDeviceInterfaces(set.Get(), interfaceClass, count, interfaceData)) ++count;
  return count;
}

bool GetInstanceId(platform::DeviceInfoSet set, std::uint32_t index, char16_t* out, std::uint32_t& length) {
  auto& tree = platform::DeviceTree();
  DeviceInfoData device;
  if (!tree.EnumDeviceInfo(set, index, device)) return false;
  std::uint32_t required = 0;
  if (tree.GetDeviceInstanceId(set, device, nullptr, 0, required) != QueryResult::InsufficientBuffer) return false;
  if (required == 0 || required * 2 > length) return false;
  std::vector<char16_t> id(required, u'\0');
  if (tree.GetDeviceInstanceId(set, device, id.data(), required, required) != QueryResult::Ok) return false;
  id.back() = u'\0';
  std::copy(id.begin(), id.end(), out);
  length = static_cast<std::uint32_t>(id.size() * 2);
  return true;
}

bool GetInterfacePath(platform::DeviceInfoSet set, const platform::Guid& interfaceClass, std::uint32_t index,
                      char16_t* out, std::uint32_t& length) {
  auto& tree = platform::DeviceTree();
  platform::DeviceInterfaceData interfaceData;
  if (!tree.EnumDeviceInterfaces(set, interfaceClass, index, interfaceData)) return false;
  std::uint32_t required = 0;
  if (tree.GetDeviceInterfaceDetail(set, interfaceData, nullptr, 0, required, nullptr) !=
      QueryResult::InsufficientBuffer)
    return false;
  if (required == 0 || required * 2 > length) return false;
  std::vector<char16_t> path(required, u'\0');
  DeviceInfoData device;
  if (tree.GetDeviceInterfaceDetail(set, interfaceData, path.data(), required, required, &device) != QueryResult::Ok)
    return false;
  path.back() = u'\0';
  const std::uint32_t chars = LengthOf(path.data());
  ZeroFill(out, length);
  std::copy(path.begin(), path.begin() + chars, out);
  length = chars * 2;
  return true;
}

bool FindInterfacePath(const platform::Guid& interfaceClass, std::u16string_view instanceId, char16_t* out,
                       std::uint32_t& length) {
  const std::uint32_t count = CountInterfaces(interfaceClass);
  if (count == 0) return false;
  ScopedInfoSet set(platform::DeviceTree().GetClassDevs(interfaceClass, kPresentInterfaces));
  if (!set) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    char16_t id[kTextChars] = {};
    std::uint32_t idLength = kTextBytes;
    if (!GetInstanceId(set.Get(), i, id, idLength) || !EqualsIgnoreCase(TextOf(id), instanceId)) continue;
    if (GetInterfacePath(set.Get(), interfaceClass, i, out, length)) return true;
  }
  return false;
}

bool GetLocationString(platform::DeviceInfoSet set, std::uint32_t index, char16_t* out, std::uint32_t& length) {
  auto& tree = platform::DeviceTree();
  DeviceInfoData device;
  if (!tree.EnumDeviceInfo(set, index, device)) return false;
  const auto property = platform::DeviceProperty::LocationInformation;
  std::uint32_t size = 0;
  if (tree.GetDeviceRegistryProperty(set, device, property, nullptr, size) != QueryResult::InsufficientBuffer)
    return false;
  if (size < 2 || size > length) return false;
  std::vector<char16_t> text((size + 1) / 2, u'\0');
  std::uint32_t fetched = size;
  if (tree.GetDeviceRegistryProperty(set, device, property, text.data(), fetched) != QueryResult::Ok) return false;
  text.back() = u'\0';
  ZeroFill(out, length);
  std::copy(text.begin(), text.end(), out);
  length = size;
  return true;
}

bool GetDisplayName(std::u16string_view instanceId, char16_t* out, std::uint32_t& length) {
  if (!IsNtPlatform()) return false;
  auto& tree = platform::DeviceTree();
  DevNode node = 0;
  if (!tree.LocateDevNode(instanceId, node)) return false;
  using platform::DeviceProperty;
  for (auto property : {DeviceProperty::FriendlyName, DeviceProperty::DeviceDesc, DeviceProperty::Service}) {
    std::uint32_t size = length;
    if (tree.GetDevNodeRegistryProperty(node, property, out, size) == QueryResult::Ok) {
      length = size;
      return true;
    }
  }
  return false;
}

bool GetParentId(std::u16string_view instanceId, char16_t* out) {
  return RelatedId(instanceId, out, [](auto& tree, DevNode node, DevNode& parent) { return tree.GetParent(node, parent); });
}

bool GetChildId(std::u16string_view instanceId, char16_t* out, std::uint32_t& lengthChars) {
  if (!RelatedId(instanceId, out, [](auto& tree, DevNode node, DevNode& child) { return tree.GetChild(node, child); }))
    return false;
  lengthChars = LengthOf(out);
  return true;
}

bool GetSiblingId(std::u16string_view instanceId, char16_t* out, std::uint32_t& lengthChars) {
  if (!RelatedId(instanceId, out,
                 [](auto& tree, DevNode node, DevNode& sibling) { return tree.GetSibling(node, sibling); }))
    return false;
  lengthChars = LengthOf(out);
  return true;
}

}  // namespace vx
