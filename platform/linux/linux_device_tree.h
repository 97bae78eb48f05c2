// The device tree on Linux, read from sysfs (see device_snapshot.h for its
// shape). Every device information set is a reading of its own, taken when
// the set is made; the configuration-manager calls answer from the latest
// reading. A node keeps its number for the life of the process, so a number
// handed out before a later reading still names the same device.
//
// Devices have no location strings here; hubs and ports come from the hub
// queries, which name the device on a port by its ID (its driver key).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/device_tree_api.h"
#include "platform/handle_table.h"
#include "platform/linux/device_scan.h"

namespace vx::platform::linux_backend {

class LinuxDeviceTree final : public DeviceTreeApi {
 public:
  explicit LinuxDeviceTree(SystemPaths paths, NodeAccess access = ReadWriteAccess);

  // The vendor and product IDs whose vendor-class interfaces are bridge
  // interfaces; none until set.
  void SetBridgeIds(std::vector<UsbId> ids);
  // A fresh reading, which becomes the latest.
  std::shared_ptr<const DeviceSnapshot> Rescan();
  // The latest reading; a fresh one when none was taken yet.
  std::shared_ptr<const DeviceSnapshot> Latest();
  const SystemPaths& Paths() const { return paths_; }

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

  // Sets made and not yet destroyed.
  std::size_t OpenSets() const { return sets_.OpenCount(); }

 private:
  struct SetData {
    std::shared_ptr<const DeviceSnapshot> snapshot;
    Guid interfaceClass;
  };
  // A node of the latest reading and that reading.
  struct Located {
    std::shared_ptr<const DeviceSnapshot> snapshot;
    std::size_t index;
  };

  DevNode NumberOf(const std::string& id);
  std::optional<Located> Locate(DevNode node);
  // Member `index` of a set, when `device` names it.
  const SnapshotNode* Member(const SetData& set, const DeviceInfoData& device) const;
  bool Related(DevNode node, DevNode& related, std::size_t (*step)(const DeviceSnapshot&, std::size_t));

  const SystemPaths paths_;
  const NodeAccess access_;
  std::mutex lock_;  // guards everything below
  std::vector<UsbId> bridgeIds_;
  std::shared_ptr<const DeviceSnapshot> latest_;
  std::map<std::string, DevNode> numbers_;  // by node ID
  std::map<DevNode, std::string> ids_;      // by node number
  HandleTable<DeviceInfoSet, SetData> sets_{0x5E75};
};

}  // namespace vx::platform::linux_backend
