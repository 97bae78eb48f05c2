// Disk requests on Windows: CreateFileW on a disk interface path,
// SetFilePointer, ReadFile, DeviceIoControl(IOCTL_DISK_GET_DRIVE_LAYOUT),
// CloseHandle and GetLogicalDrives.
#pragma once

#include "platform/disk_api.h"
#include "platform/win32/win32_device_control.h"

namespace vx::platform::win32_backend {

class Win32Disks final : public DiskApi {
 public:
  // Tests hand in a stand-in for the disk driver.
  explicit Win32Disks(DeviceControl control = SystemDeviceControl) : control_(std::move(control)) {}

  DeviceHandle Open(std::u16string_view diskPath) override;
  bool Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) override;
  bool Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) override;
  // Asks with a 192-byte answer buffer, room for the four entries of a
  // disk without an extended partition; a disk that needs more room for
  // its layout has answered too, and is asked again with room for it.
  bool GetDriveLayout(DeviceHandle disk) override;
  void Close(DeviceHandle disk) override;
  std::uint32_t GetLogicalDrives() override;

 private:
  DeviceControl control_;
};

}  // namespace vx::platform::win32_backend
