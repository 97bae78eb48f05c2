#include "platform/linux/linux_disks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/text.h"
#include "platform/linux/block_devices.h"

namespace vx::platform::linux_backend {

namespace {

// File descriptor 0 is valid, and handle 0 means none: handles carry fd + 1.
DeviceHandle HandleOf(int fd) { return static_cast<DeviceHandle>(static_cast<std::uintptr_t>(fd) + 1); }
int FdOf(DeviceHandle disk) { return static_cast<int>(static_cast<std::uintptr_t>(disk) - 1); }

}  // namespace

DeviceHandle LinuxDisks::Open(std::u16string_view diskPath) {
  const std::string block = BlockDeviceName(paths_, ToUtf8(diskPath));
  if (block.empty()) return DeviceHandle::None;
  const int fd = ::open((paths_.dev + "/" + block).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return DeviceHandle::None;
  ++open_;
  return HandleOf(fd);
}

bool LinuxDisks::Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) {
  if (disk == DeviceHandle::None) return false;
  const off_t reached = ::lseek(FdOf(disk), static_cast<off_t>(offset), SEEK_SET);
  if (reached < 0) return false;
  position = static_cast<std::uint64_t>(reached);
  return true;
}

bool LinuxDisks::Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (disk == DeviceHandle::None || (buffer == nullptr && length != 0)) return false;
  while (bytesRead < length) {
    const ssize_t got = ::read(FdOf(disk), buffer + bytesRead, length - bytesRead);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    bytesRead += static_cast<std::uint32_t>(got);
  }
  return true;
}

bool LinuxDisks::GetDriveLayout(DeviceHandle disk) {
  return disk != DeviceHandle::None && ::lseek(FdOf(disk), 0, SEEK_END) > 0;
}

void LinuxDisks::Close(DeviceHandle disk) {
  if (disk == DeviceHandle::None) return;
  ::close(FdOf(disk));
  --open_;
}

}  // namespace vx::platform::linux_backend
