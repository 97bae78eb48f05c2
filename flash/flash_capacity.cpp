#include "flash/flash_capacity.h"

#include <array>

#include "flash/disk_image_operations.h"
#include "flash/flash_operations.h"

namespace vx {

namespace {

constexpr std::uint32_t kSmallestDensity = 0x10;  // 64 KiB
constexpr std::uint32_t kLargestDensity = 0x18;   // 16 MiB
constexpr std::uint32_t kDiskBlock = 512;

}  // namespace

std::uint32_t FlashCapacityFromId(std::uint32_t flashId) {
  // Longer answers (0x90 repeats maker and device) carry a fourth byte.
  const std::uint32_t density = (flashId >> 16) & 0xFFu;
  if ((flashId >> 24) != 0 || density < kSmallestDensity || density > kLargestDensity) return 0;
  return std::uint32_t{1} << density;
}

bool WithinKnownEnd(const DeviceRecord& device, std::uint32_t address, std::uint32_t length) {
  const std::uint64_t end = std::uint64_t{address} + length;
  const std::uint32_t capacity = FlashCapacityFromId(device.flashId);
  return end <= kFlashAddressSpace && (capacity == 0 || end <= capacity);
}

bool FlashRangeExists(const DeviceRecord& device, std::uint32_t address, std::uint32_t length) {
  if (!WithinKnownEnd(device, address, length)) return false;
  if (length == 0 || FlashCapacityFromId(device.flashId) != 0) return true;
  const std::uint64_t end = std::uint64_t{address} + length;
  std::array<std::uint8_t, kDiskBlock> block;
  const auto lastBlock = static_cast<std::uint32_t>((end - 1) / kDiskBlock * kDiskBlock);
  return ReadDiskImage(device, lastBlock, block.data(), kDiskBlock);
}

}  // namespace vx
