#include "platform/sim/sim_disks.h"

namespace vx::platform::sim {

DeviceHandle SimDisks::Open(std::u16string_view diskPath) {
  MachineDisk* disk = machine_.FindDisk(diskPath);
  if (disk == nullptr || disk->failOpen) return DeviceHandle::None;
  return handles_.Open({disk, 0});
}

bool SimDisks::Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) {
  if (!handles_.Update(disk, [offset](OpenDisk& open) { open.position = offset; })) return false;
  position = offset;
  return true;
}

// The disk holds its first sector; everything past it reads as zeros.
bool SimDisks::Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  const auto open = handles_.Find(disk);
  if (!open || open->disk->failRead || buffer == nullptr) return false;
  const auto& sector = open->disk->sector0;
  for (std::uint32_t i = 0; i < length; ++i) {
    const std::uint64_t at = open->position + i;
    buffer[i] = at < sector.size() ? sector[at] : 0;
  }
  handles_.Update(disk, [length](OpenDisk& entry) { entry.position += length; });
  bytesRead = length;
  return true;
}

bool SimDisks::GetDriveLayout(DeviceHandle disk) {
  const auto open = handles_.Find(disk);
  return open && !open->disk->failLayout;
}

void SimDisks::Close(DeviceHandle disk) { handles_.Close(disk); }

}  // namespace vx::platform::sim
