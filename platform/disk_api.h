// Disk requests made while tying a bridge's disk to its drive letters, shaped
// after CreateFileW on a disk interface path, SetFilePointer, ReadFile,
// DeviceIoControl(IOCTL_DISK_GET_DRIVE_LAYOUT), CloseHandle and
// GetLogicalDrives.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

namespace vx::platform {

class DiskApi {
 public:
  virtual ~DiskApi() = default;
  // Opens a disk path for reading and writing, shared for reading and
  // writing; None when it cannot be opened.
  virtual DeviceHandle Open(std::u16string_view diskPath) = 0;
  // Moves to a byte offset from the start; position receives the new one.
  virtual bool Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) = 0;
  // Reads up to length bytes from the current position.
  virtual bool Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) = 0;
  // The drive-layout request; true when the disk answered it.
  virtual bool GetDriveLayout(DeviceHandle disk) = 0;
  virtual void Close(DeviceHandle disk) = 0;
  // GetLogicalDrives: bit 0 is A, bit 25 is Z.
  virtual std::uint32_t GetLogicalDrives() = 0;
};

}  // namespace vx::platform
