#include "flash/disk_image_operations.h"

#include <algorithm>
#include <array>

#include "bridge/bridge_lock.h"
#include "transport/vendor_commands.h"

namespace vx {
namespace {

constexpr std::uint32_t kDiskImageChunk = 32768;

// A 1-byte read is transferred as 2 bytes, like every 1-byte read from the
// bridge; only the byte asked for is handed back. ReadImageSectors writes
// its output only when the bridge answered.
bool ReadChunk(const DeviceRecord& device, std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t n) {
  if (n != 1) return ReadImageSectors(device, bytePosition, out, n);
  std::array<std::uint8_t, 2> pair{};
  if (!ReadImageSectors(device, bytePosition, pair.data(), pair.size())) return false;
  out[0] = pair[0];
  return true;
}

// Runs transfer(offset, n) over the length in pieces of at most
// kDiskImageChunk bytes, all under one hold of the bridge lock; the first
// failing piece ends the run.
template <typename Transfer>
bool InChunksUnderLock(const DeviceRecord& device, std::uint32_t length, Transfer transfer) {
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  for (std::uint32_t offset = 0; offset < length;) {
    const std::uint32_t n = std::min(kDiskImageChunk, length - offset);
    if (!transfer(offset, n)) return false;
    offset += n;
  }
  return true;
}

}  // namespace

bool WriteDiskImage(const DeviceRecord& device, std::uint32_t bytePosition, const std::uint8_t* data,
                    std::uint32_t length) {
  if (IsEmpty(device.diskPath) || data == nullptr || length == 0) return false;
  return InChunksUnderLock(device, length, [&](std::uint32_t offset, std::uint32_t n) {
    return WriteImageSectors(device, bytePosition + offset, data + offset, n);
  });
}

bool ReadDiskImage(const DeviceRecord& device, std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t length) {
  if (IsEmpty(device.diskPath) || out == nullptr || length == 0) return false;
  return InChunksUnderLock(device, length, [&](std::uint32_t offset, std::uint32_t n) {
    return ReadChunk(device, bytePosition + offset, out + offset, n);
  });
}

}  // namespace vx
