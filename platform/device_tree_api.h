// The device tree, shaped after SetupAPI device information sets and the
// configuration manager (CfgMgr) as discovery uses them. Every structure that
// crosses this seam carries only what discovery reads.
//
// Text results follow the Windows convention: the caller passes a buffer and
// its capacity; a call with too small a buffer (or none) reports
// InsufficientBuffer together with the size it needs, and writes nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/device_classes.h"

namespace vx::platform {

// A device information set (HDEVINFO); None is "no set".
enum class DeviceInfoSet : std::uintptr_t { None = 0 };

// A device node of the configuration manager (DEVINST); 0 is "no node".
using DevNode = std::uint32_t;

// SetupDiGetClassDevsExW flags (DIGCF_PRESENT, DIGCF_PROFILE,
// DIGCF_DEVICEINTERFACE).
inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfProfile = 0x08;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// Outcome of a call that may only have learnt the size it needs
// (ERROR_INSUFFICIENT_BUFFER, CR_BUFFER_SMALL).
enum class QueryResult { Ok, InsufficientBuffer, Failed };

// One device of a set (SP_DEVINFO_DATA). `reserved` belongs to the backend.
struct DeviceInfoData {
  DevNode devInst = 0;
  std::uintptr_t reserved = 0;
};

// One interface of a set (SP_DEVICE_INTERFACE_DATA). `reserved` belongs to
// the backend.
struct DeviceInterfaceData {
  Guid interfaceClass{};
  std::uintptr_t reserved = 0;
};

// Text properties of a device node. The backend maps them onto SPDRP_* for
// set members and CM_DRP_* for nodes (SPDRP_LOCATION_INFORMATION = 13,
// CM_DRP_DEVICEDESC = 1, CM_DRP_SERVICE = 5, CM_DRP_DRIVER = 10,
// CM_DRP_FRIENDLYNAME = 13).
enum class DeviceProperty { DeviceDesc, Service, Driver, FriendlyName, LocationInformation };

class DeviceTreeApi {
 public:
  virtual ~DeviceTreeApi() = default;

  // --- Device information sets (SetupAPI) ---

  // SetupDiGetClassDevsExW(interfaceClass, no enumerator, no window, flags,
  // no set, no machine): the devices that expose an interface of the class,
  // in the order of their interfaces. None when the set cannot be made.
  virtual DeviceInfoSet GetClassDevs(const Guid& interfaceClass, std::uint32_t flags) = 0;
  // SetupDiDestroyDeviceInfoList.
  virtual void DestroyDeviceInfoList(DeviceInfoSet set) = 0;
  // SetupDiEnumDeviceInfo: device `index` of the set; false past the end.
  virtual bool EnumDeviceInfo(DeviceInfoSet set, std::uint32_t index, DeviceInfoData& device) = 0;
  // SetupDiEnumDeviceInterfaces(set, no device, interfaceClass, index);
  // false past the end.
  virtual bool EnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass, std::uint32_t index,
                                    DeviceInterfaceData& interfaceData) = 0;
  // SetupDiGetDeviceInstanceIdW: the device's instance ID into buffer
  // (bufferChars characters, terminator included). requiredChars receives the
  // characters the ID needs with its terminator.
  virtual QueryResult GetDeviceInstanceId(DeviceInfoSet set, const DeviceInfoData& device, char16_t* buffer,
                                          std::uint32_t bufferChars, std::uint32_t& requiredChars) = 0;
  // SetupDiGetDeviceInterfaceDetailW: the interface's DevicePath into buffer
  // (bufferChars characters, terminator included); requiredChars receives
  // the characters the path needs with its terminator. On success `device`
  // (when not null) receives the device that exposes the interface.
  virtual QueryResult GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& interfaceData,
                                               char16_t* buffer, std::uint32_t bufferChars,
                                               std::uint32_t& requiredChars, DeviceInfoData* device) = 0;
  // SetupDiGetDeviceRegistryPropertyW: a text property of a set member.
  // lengthBytes gives the capacity on entry; it receives the bytes stored
  // (terminator included) on success, or the bytes needed otherwise.
  virtual QueryResult GetDeviceRegistryProperty(DeviceInfoSet set, const DeviceInfoData& device,
                                                DeviceProperty property, char16_t* buffer,
                                                std::uint32_t& lengthBytes) = 0;

  // --- Configuration manager ---

  // CM_Locate_DevNodeW(instanceId, CM_LOCATE_DEVNODE_NORMAL); an empty ID
  // locates the root of the tree. Compares IDs ignoring case.
  virtual bool LocateDevNode(std::u16string_view instanceId, DevNode& node) = 0;
  // CM_Get_Parent, CM_Get_Child (first child), CM_Get_Sibling (next sibling).
  virtual bool GetParent(DevNode node, DevNode& parent) = 0;
  virtual bool GetChild(DevNode node, DevNode& child) = 0;
  virtual bool GetSibling(DevNode node, DevNode& sibling) = 0;
  // CM_Get_Device_IDW: the node's instance ID into buffer of bufferChars
  // characters. Fails (writing nothing) when the ID is longer than
  // bufferChars; the terminator is written when there is room for it.
  virtual bool GetDeviceId(DevNode node, char16_t* buffer, std::uint32_t bufferChars) = 0;
  // CM_Get_DevNode_Registry_PropertyW: a text property of a node, with
  // lengthBytes in and out as for GetDeviceRegistryProperty.
  virtual QueryResult GetDevNodeRegistryProperty(DevNode node, DeviceProperty property, char16_t* buffer,
                                                 std::uint32_t& lengthBytes) = 0;
};

}  // namespace vx::platform
