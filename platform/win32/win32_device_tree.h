// The device tree on Windows: SetupAPI device information sets
// (SetupDiGetClassDevsExW, SetupDiEnumDeviceInfo, SetupDiEnumDeviceInterfaces,
// SetupDiGetDeviceInstanceIdW, SetupDiGetDeviceInterfaceDetailW,
// SetupDiGetDeviceRegistryPropertyW, SetupDiDestroyDeviceInfoList) and the
// configuration manager (CM_Locate_DevNodeW, CM_Get_Parent, CM_Get_Child,
// CM_Get_Sibling, CM_Get_Device_IDW, CM_Get_DevNode_Registry_PropertyW).
// A device or interface of a set is carried by its Reserved field, which is
// how SetupAPI finds it again. Text properties are read whole and handed out
// with a terminator, also when the registry holds one without it.
#pragma once

#include "platform/device_tree_api.h"

namespace vx::platform::win32_backend {

class Win32DeviceTree final : public DeviceTreeApi {
 public:
  DeviceInfoSet GetClassDevs(const Guid& interfaceClass, std::uint32_t flags) override;
  void DestroyDeviceInfoList(DeviceInfoSet set) override;
  bool EnumDeviceInfo(DeviceInfoSet set, std::uint32_t index, DeviceInfoData& device) override;
  bool EnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass, std::uint32_t index,
                            DeviceInterfaceData& interfaceData) override;
  QueryResult GetDeviceInstanceId(DeviceInfoSet set, const DeviceInfoData& device, char16_t* buffer,
                                  std::uint32_t bufferChars, std::uint32_t& requiredChars) override;
  QueryResult GetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& interfaceData, char16_t* buffer,
                                       std::uint32_t bufferChars, std::uint32_t& requiredChars,
                                       DeviceInfoData* device) override;
  QueryResult GetDeviceRegistryProperty(DeviceInfoSet set, const DeviceInfoData& device, DeviceProperty property,
                                        char16_t* buffer, std::uint32_t& lengthBytes) override;

  bool LocateDevNode(std::u16string_view instanceId, DevNode& node) override;
  bool GetParent(DevNode node, DevNode& parent) override;
  bool GetChild(DevNode node, DevNode& child) override;
  bool GetSibling(DevNode node, DevNode& sibling) override;
  bool GetDeviceId(DevNode node, char16_t* buffer, std::uint32_t bufferChars) override;
  QueryResult GetDevNodeRegistryProperty(DevNode node, DeviceProperty property, char16_t* buffer,
                                         std::uint32_t& lengthBytes) override;
};

}  // namespace vx::platform::win32_backend
