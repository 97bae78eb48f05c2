// Hub queries on Linux, answered from the device tree's latest reading: a
// hub's ports are its "maxchild", a port is connected when a device is
// plugged into it, and the port's driver key is that device's ID. Speeds map
// onto the system's codes: 1.5 Mb/s 0, 12 Mb/s 1, 480 Mb/s 2, 5 Gb/s and
// more 3.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/handle_table.h"
#include "platform/hub_api.h"
#include "platform/linux/linux_device_tree.h"

namespace vx::platform::linux_backend {

class LinuxHubs final : public HubApi {
 public:
  explicit LinuxHubs(LinuxDeviceTree& tree) : tree_(tree) {}

  // Opens a path that the hub interface class handed out.
  DeviceHandle Open(std::u16string_view hubPath) override;
  bool GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) override;
  bool GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                    PortConnectionInformation& information) override;
  bool GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                  std::uint32_t bufferChars, std::uint32_t& requiredChars) override;
  void Close(DeviceHandle hub) override;

  std::size_t OpenHandles() const { return handles_.OpenCount(); }

 private:
  struct OpenHub {
    std::shared_ptr<const DeviceSnapshot> snapshot;
    std::size_t index;
  };
  // The device on a port of an open hub; null for an empty port.
  static const SnapshotNode* PortDevice(const OpenHub& hub, std::uint32_t connectionIndex);

  LinuxDeviceTree& tree_;
  HandleTable<DeviceHandle, OpenHub> handles_{0x4B5000};
};

}  // namespace vx::platform::linux_backend
