#include "platform/linux/linux_disks.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/text.h"
#include "platform/linux/block_devices.h"
#include "platform/linux/descriptor_handles.h"

namespace vx::platform::linux_backend {

DeviceHandle LinuxDisks::Open(std::u16string_view diskPath) {
  const std::string block = BlockDeviceName(paths_, ToUtf8(diskPath));
  if (block.empty()) return DeviceHandle::None;
  const int fd = ::open((paths_.dev + "/" + block).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return DeviceHandle::None;
  ++open_;
  return HandleOfDescriptor<DeviceHandle>(fd);
}

bool LinuxDisks::Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) {
  if (disk == DeviceHandle::None) return false;
  const off_t reached = ::lseek(DescriptorOf(disk), static_cast<off_t>(offset), SEEK_SET);
  if (reached < 0) return false;
  position = static_cast<std::uint64_t>(reached);
  return true;
}

bool LinuxDisks::Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (disk == DeviceHandle::None || (buffer == nullptr && length != 0)) return false;
  while (bytesRead < length) {
    const ssize_t got = ::read(DescriptorOf(disk), buffer + bytesRead, length - bytesRead);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    bytesRead += static_cast<std::uint32_t>(got);
  }
  return true;
}

bool LinuxDisks::GetDriveLayout(DeviceHandle disk) {
  return disk != DeviceHandle::None && ::lseek(DescriptorOf(disk), 0, SEEK_END) > 0;
}

void LinuxDisks::Close(DeviceHandle disk) {
  if (disk == DeviceHandle::None) return;
  ::close(DescriptorOf(disk));
  --open_;
}

}  // namespace vx::platform::linux_backend
