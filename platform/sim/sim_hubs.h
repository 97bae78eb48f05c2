// The simulated machine's USB hubs, answering the hub queries. Every hub
// handle handed out is counted until it is closed.
#pragma once

#include <cstddef>

#include "platform/hub_api.h"
#include "platform/sim/sim_handle_table.h"
#include "platform/sim/sim_machine.h"

namespace vx::platform::sim {

class SimHubs final : public HubApi {
 public:
  explicit SimHubs(SimMachine& machine) : machine_(machine) {}

  DeviceHandle Open(std::u16string_view hubPath) override;
  bool GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) override;
  bool GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                    PortConnectionInformation& information) override;
  bool GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                  std::uint32_t bufferChars, std::uint32_t& requiredChars) override;
  void Close(DeviceHandle hub) override;

  std::size_t OpenHandles() const { return handles_.OpenCount(); }

 private:
  // The port of an open hub, or null (bad handle, port out of range, or the
  // port's request set to fail).
  const MachinePort* PortOf(DeviceHandle hub, std::uint32_t connectionIndex) const;

  SimMachine& machine_;
  SimHandleTable<DeviceHandle, MachineHub*> handles_{0x4B00};
};

}  // namespace vx::platform::sim
