// The device tree of the simulated machine, served as device information
// sets and configuration-manager calls. Sets are snapshots taken when made;
// every set handed out is counted until it is destroyed.
#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

#include "platform/device_tree_api.h"
#include "platform/sim/sim_handle_table.h"
#include "platform/sim/sim_machine.h"

namespace vx::platform::sim {

class SimDeviceTree final : public DeviceTreeApi {
 public:
  explicit SimDeviceTree(SimMachine& machine) : machine_(machine) {}

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

  // Sets made and not yet destroyed; sets made so far.
  std::size_t OpenSets() const;
  std::size_t SetsMade() const;

 private:
  struct SetData {
    std::vector<std::size_t> interfaces;  // indexes into the machine's interfaces
    std::vector<NodeId> devices;
  };

  bool IsMember(const SetData& data, const DeviceInfoData& device) const;
  QueryResult ReadProperty(NodeId node, DeviceProperty property, char16_t* buffer,
                           std::uint32_t& lengthBytes) const;

  SimMachine& machine_;
  SimHandleTable<DeviceInfoSet, SetData> sets_{0x5E70};
  std::atomic<std::size_t> setsMade_ = 0;
};

}  // namespace vx::platform::sim
