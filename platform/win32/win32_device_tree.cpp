#include "platform/win32/win32_device_tree.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/query_text.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

static_assert(sizeof(Guid) == sizeof(GUID));
static_assert(sizeof(DevNode) == sizeof(DEVINST));
// SetupAPI checks the size fields against its own records, which are packed
// differently for 32-bit and 64-bit processes.
static_assert(sizeof(void*) != 8 || (sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8 &&
                                     sizeof(SP_DEVINFO_DATA) == 32 && sizeof(SP_DEVICE_INTERFACE_DATA) == 32));
static_assert(sizeof(void*) != 4 || (sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 6 &&
                                     sizeof(SP_DEVINFO_DATA) == 28 && sizeof(SP_DEVICE_INTERFACE_DATA) == 28));
static_assert(kDigcfPresent == DIGCF_PRESENT && kDigcfProfile == DIGCF_PROFILE &&
              kDigcfDeviceInterface == DIGCF_DEVICEINTERFACE);
static_assert(SPDRP_LOCATION_INFORMATION == 13 && CM_DRP_DEVICEDESC == 1 && CM_DRP_SERVICE == 5 &&
              CM_DRP_DRIVER == 10 && CM_DRP_FRIENDLYNAME == 13);

GUID NativeGuid(const Guid& guid) {
  GUID native{guid.data1, guid.data2, guid.data3, {}};
  for (int i = 0; i < 8; ++i) native.Data4[i] = guid.data4[i];
  return native;
}

Guid GuidOf(const GUID& native) {
  Guid guid{native.Data1, native.Data2, native.Data3, {}};
  for (int i = 0; i < 8; ++i) guid.data4[i] = native.Data4[i];
  return guid;
}

HDEVINFO NativeSet(DeviceInfoSet set) { return reinterpret_cast<HDEVINFO>(static_cast<std::uintptr_t>(set)); }

SP_DEVINFO_DATA NativeDevice(const DeviceInfoData& device) {
  SP_DEVINFO_DATA native{};
  native.cbSize = sizeof native;
  native.DevInst = device.devInst;
  native.Reserved = device.reserved;
  return native;
}

DeviceInfoData DeviceOf(const SP_DEVINFO_DATA& native) { return {native.DevInst, native.Reserved}; }

SP_DEVICE_INTERFACE_DATA NativeInterface(const DeviceInterfaceData& interfaceData) {
  SP_DEVICE_INTERFACE_DATA native{};
  native.cbSize = sizeof native;
  native.InterfaceClassGuid = NativeGuid(interfaceData.interfaceClass);
  native.Reserved = interfaceData.reserved;
  return native;
}

// A property's code for set members (SPDRP_*) and for nodes (CM_DRP_*).
struct PropertyCodes {
  DWORD setup;
  ULONG node;
};

PropertyCodes CodesOf(DeviceProperty property) {
  switch (property) {
    case DeviceProperty::DeviceDesc:
      return {SPDRP_DEVICEDESC, CM_DRP_DEVICEDESC};
    case DeviceProperty::Service:
      return {SPDRP_SERVICE, CM_DRP_SERVICE};
    case DeviceProperty::Driver:
      return {SPDRP_DRIVER, CM_DRP_DRIVER};
    case DeviceProperty::FriendlyName:
      return {SPDRP_FRIENDLYNAME, CM_DRP_FRIENDLYNAME};
    case DeviceProperty::LocationInformation:
      break;
  }
  return {SPDRP_LOCATION_INFORMATION, CM_DRP_LOCATION_INFORMATION};
}

// A SetupAPI call that may only have learnt the size it needs.
QueryResult SetupResult(BOOL ok) {
  if (ok) return QueryResult::Ok;
  return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER ? QueryResult::InsufficientBuffer : QueryResult::Failed;
}

QueryResult NodeResult(CONFIGRET result) {
  if (result == CR_SUCCESS) return QueryResult::Ok;
  return result == CR_BUFFER_SMALL ? QueryResult::InsufficientBuffer : QueryResult::Failed;
}

using NodeStep = CONFIGRET(WINAPI*)(PDEVINST, DEVINST, ULONG);

bool Step(NodeStep step, DevNode node, DevNode& next) {
  DEVINST found = 0;
  if (step(&found, node, 0) != CR_SUCCESS) return false;
  next = found;
  return true;
}

constexpr std::size_t kDevicePathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);

// A text property as the registry holds it, which need not end in a
// terminator (nor be a whole number of characters): read whole into a
// buffer of our own, then handed out as its text and a terminator, so that
// a caller that sizes its buffer by the answer gets all of it. `fetch` is
// the system call, taking a buffer and its capacity in bytes and leaving
// there the bytes stored or needed.
template <typename Fetch>
QueryResult ReadPropertyText(Fetch fetch, char16_t* buffer, std::uint32_t& lengthBytes) {
  std::vector<char16_t> stored;
  std::uint32_t storedBytes = 0;
  // A property that grows between the size query and the read is asked
  // for once more.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const QueryResult result = fetch(stored.empty() ? nullptr : stored.data(), storedBytes);
    if (result == QueryResult::Failed) return result;
    if (result == QueryResult::Ok) {
      const auto chars = std::min<std::size_t>(storedBytes / sizeof(char16_t), stored.size());
      return CopyPropertyText(TextWithin(reinterpret_cast<const wchar_t*>(stored.data()), chars), buffer,
                              lengthBytes);
    }
    stored.assign((storedBytes + 1) / sizeof(char16_t), u'\0');
    storedBytes = static_cast<std::uint32_t>(stored.size() * sizeof(char16_t));
  }
  return QueryResult::Failed;
}

}  // namespace

DeviceInfoSet Win32DeviceTree::GetClassDevs(const Guid& interfaceClass, std::uint32_t flags) {
  const GUID guid = NativeGuid(interfaceClass);
  const HDEVINFO set = ::SetupDiGetClassDevsExW(&guid, nullptr, nullptr, flags, nullptr, nullptr, nullptr);
  if (set == INVALID_HANDLE_VALUE) return DeviceInfoSet::None;
  return static_cast<DeviceInfoSet>(reinterpret_cast<std::uintptr_t>(set));
}

void Win32DeviceTree::DestroyDeviceInfoList(DeviceInfoSet set) {
  if (set != DeviceInfoSet::None) ::SetupDiDestroyDeviceInfoList(NativeSet(set));
}

bool Win32DeviceTree::EnumDeviceInfo(DeviceInfoSet set, std::uint32_t index, DeviceInfoData& device) {
  SP_DEVINFO_DATA native{};
  native.cbSize = sizeof native;
  if (set == DeviceInfoSet::None || !::SetupDiEnumDeviceInfo(NativeSet(set), index, &native)) return false;
  device = DeviceOf(native);
  return true;
}

bool Win32DeviceTree::EnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass, std::uint32_t index,
                                           DeviceInterfaceData& interfaceData) {
  const GUID guid = NativeGuid(interfaceClass);
  SP_DEVICE_INTERFACE_DATA native{};
  native.cbSize = sizeof native;
  if (set == DeviceInfoSet::None || !::SetupDiEnumDeviceInterfaces(NativeSet(set), nullptr, &guid, index, &native))
    return false;
  interfaceData = {GuidOf(native.InterfaceClassGuid), native.Reserved};
  return true;
}

QueryResult Win32DeviceTree::GetDeviceInstanceId(DeviceInfoSet set, const DeviceInfoData& device, char16_t* buffer,
                                                 std::uint32_t bufferChars, std::uint32_t& requiredChars) {
  if (set == DeviceInfoSet::None) return QueryResult::Failed;
  SP_DEVINFO_DATA native = NativeDevice(device);
  DWORD required = 0;
  const QueryResult result = SetupResult(::SetupDiGetDeviceInstanceIdW(
      NativeSet(set), &native, buffer == nullptr ? nullptr : WideBuffer(buffer), buffer == nullptr ? 0 : bufferChars,
      &required));
  if (result != QueryResult::Failed) requiredChars = required;
  return result;
}

// The detail record is the size field followed by the path; the path is
// copied out of it into the caller's buffer. Its size is learnt first, so
// that a buffer too small for the path is told so without fetching it.
QueryResult Win32DeviceTree::GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& interfaceData,
                                                      char16_t* buffer, std::uint32_t bufferChars,
                                                      std::uint32_t& requiredChars, DeviceInfoData* device) {
  if (set == DeviceInfoSet::None) return QueryResult::Failed;
  SP_DEVICE_INTERFACE_DATA native = NativeInterface(interfaceData);
  DWORD requiredBytes = 0;
  if (::SetupDiGetDeviceInterfaceDetailW(NativeSet(set), &native, nullptr, 0, &requiredBytes, nullptr) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || requiredBytes <= kDevicePathOffset)
    return QueryResult::Failed;
  requiredChars = static_cast<std::uint32_t>((requiredBytes - kDevicePathOffset) / sizeof(WCHAR));
  if (buffer == nullptr || bufferChars < requiredChars) return QueryResult::InsufficientBuffer;

  std::vector<std::uint64_t> storage((requiredBytes + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  SP_DEVINFO_DATA owner{};
  owner.cbSize = sizeof owner;
  if (!::SetupDiGetDeviceInterfaceDetailW(NativeSet(set), &native, detail, requiredBytes, nullptr, &owner))
    return QueryResult::Failed;
  const QueryResult result =
      CopyQueryText(TextWithin(detail->DevicePath, requiredChars), buffer, bufferChars, requiredChars);
  if (result == QueryResult::Ok && device != nullptr) *device = DeviceOf(owner);
  return result;
}

QueryResult Win32DeviceTree::GetDeviceRegistryProperty(DeviceInfoSet set, const DeviceInfoData& device,
                                                       DeviceProperty property, char16_t* buffer,
                                                       std::uint32_t& lengthBytes) {
  if (set == DeviceInfoSet::None) return QueryResult::Failed;
  SP_DEVINFO_DATA native = NativeDevice(device);
  const auto fetch = [&](char16_t* data, std::uint32_t& bytes) {
    DWORD required = 0;
    const QueryResult result = SetupResult(::SetupDiGetDeviceRegistryPropertyW(
        NativeSet(set), &native, CodesOf(property).setup, nullptr, reinterpret_cast<PBYTE>(data), bytes, &required));
    bytes = required;
    return result;
  };
  return ReadPropertyText(fetch, buffer, lengthBytes);
}

bool Win32DeviceTree::LocateDevNode(std::u16string_view instanceId, DevNode& node) {
  std::wstring id = Wide(instanceId);
  DEVINST found = 0;
  if (::CM_Locate_DevNodeW(&found, instanceId.empty() ? nullptr : id.data(), CM_LOCATE_DEVNODE_NORMAL) !=
      CR_SUCCESS)
    return false;
  node = found;
  return true;
}

bool Win32DeviceTree::GetParent(DevNode node, DevNode& parent) { return Step(::CM_Get_Parent, node, parent); }

bool Win32DeviceTree::GetChild(DevNode node, DevNode& child) { return Step(::CM_Get_Child, node, child); }

bool Win32DeviceTree::GetSibling(DevNode node, DevNode& sibling) { return Step(::CM_Get_Sibling, node, sibling); }

bool Win32DeviceTree::GetDeviceId(DevNode node, char16_t* buffer, std::uint32_t bufferChars) {
  return buffer != nullptr && ::CM_Get_Device_IDW(node, WideBuffer(buffer), bufferChars, 0) == CR_SUCCESS;
}

QueryResult Win32DeviceTree::GetDevNodeRegistryProperty(DevNode node, DeviceProperty property, char16_t* buffer,
                                                        std::uint32_t& lengthBytes) {
  const auto fetch = [&](char16_t* data, std::uint32_t& bytes) {
    ULONG length = bytes;
    const QueryResult result =
        NodeResult(::CM_Get_DevNode_Registry_PropertyW(node, CodesOf(property).node, nullptr, data, &length, 0));
    bytes = length;
    return result;
  };
  return ReadPropertyText(fetch, buffer, lengthBytes);
}

}  // namespace vx::platform::win32_backend
