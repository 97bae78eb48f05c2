// Disk requests on Linux. A bridge's disk path names its generic SCSI node,
// which is not for reading sectors: the requests go to the block device that
// belongs to it, opened read-only. Linux has no drive letters: the logical
// drive mask is empty (a disk's mount points stand in for them, see
// block_devices.h).
#pragma once

#include <atomic>
#include <cstddef>

#include "platform/disk_api.h"
#include "platform/linux/system_paths.h"

namespace vx::platform::linux_backend {

class LinuxDisks final : public DiskApi {
 public:
  explicit LinuxDisks(SystemPaths paths) : paths_(std::move(paths)) {}

  DeviceHandle Open(std::u16string_view diskPath) override;
  bool Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) override;
  bool Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) override;
  // The layout request: the disk reports a size, so a medium is there.
  bool GetDriveLayout(DeviceHandle disk) override;
  void Close(DeviceHandle disk) override;
  std::uint32_t GetLogicalDrives() override { return 0; }

  std::size_t OpenHandles() const { return open_; }

 private:
  const SystemPaths paths_;
  std::atomic<std::size_t> open_{0};
};

}  // namespace vx::platform::linux_backend
