// SCSI pass-through on the simulated machine: a device path opens when an
// emulated bridge is attached to it as its disk interface and is present;
// each request is handed to that bridge. Open handles are counted so that
// tests can check every handle was closed.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "emulator/bridge_registry.h"
#include "platform/scsi_api.h"
#include "platform/sim/sim_handle_table.h"

namespace vx::platform::sim {

class SimScsi : public ScsiApi {
 public:
  explicit SimScsi(const emu::BridgeRegistry& bridges) : bridges_(bridges) {}

  DeviceHandle Open(std::u16string_view path) override;
  bool PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) override;
  void Close(DeviceHandle device) override;

  std::size_t OpenHandles() const { return handles_.OpenCount(); }
  // Close calls on handles that were not open (double closes included).
  std::size_t BadCloses() const { return badCloses_; }

 private:
  const emu::BridgeRegistry& bridges_;
  SimHandleTable<DeviceHandle, emu::Bridge*> handles_{0x5C000};
  std::atomic<std::size_t> badCloses_{0};
};

}  // namespace vx::platform::sim
