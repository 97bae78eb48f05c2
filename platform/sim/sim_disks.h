// The simulated machine's disks (their first sector and the drive-layout
// request) and its logical-drive mask. Every disk handle handed out is
// counted until it is closed.
#pragma once

#include <cstddef>

#include "platform/disk_api.h"
#include "platform/sim/sim_handle_table.h"
#include "platform/sim/sim_machine.h"

namespace vx::platform::sim {

class SimDisks final : public DiskApi {
 public:
  explicit SimDisks(SimMachine& machine) : machine_(machine) {}

  DeviceHandle Open(std::u16string_view diskPath) override;
  bool Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) override;
  bool Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) override;
  bool GetDriveLayout(DeviceHandle disk) override;
  void Close(DeviceHandle disk) override;
  std::uint32_t GetLogicalDrives() override { return machine_.logicalDrives; }

  std::size_t OpenHandles() const { return handles_.OpenCount(); }

 private:
  struct OpenDisk {
    MachineDisk* disk;
    std::uint64_t position;
  };

  SimMachine& machine_;
  SimHandleTable<DeviceHandle, OpenDisk> handles_{0xD150};
};

}  // namespace vx::platform::sim
