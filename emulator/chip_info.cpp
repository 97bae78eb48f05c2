#include "emulator/chip_info.h"

namespace vx::emu {

namespace {

void Put16(ChipInfoBlock& block, std::size_t at, std::uint16_t value) {
  block[at] = static_cast<std::uint8_t>(value >> 8);
  block[at + 1] = static_cast<std::uint8_t>(value);
}

void Put32(ChipInfoBlock& block, std::size_t at, std::uint32_t value) {
  Put16(block, at, static_cast<std::uint16_t>(value >> 16));
  Put16(block, at + 2, static_cast<std::uint16_t>(value));
}

}  // namespace

ChipInfoBlock DiskChipInfo(const ChipInfoValues& values) {
  ChipInfoBlock block{};
  Put16(block, 0, values.vendorId);
  Put16(block, 2, values.productId);
  Put32(block, 4, values.firmwareVersion);
  Put16(block, 8, values.infoWord8);
  block[11] = values.mode;
  Put16(block, 12, values.infoWord12);
  return block;
}

ChipInfoBlock UsbChipInfo(const ChipInfoValues& values) {
  ChipInfoBlock block{};
  Put16(block, 0, values.vendorId);
  Put16(block, 2, values.productId);
  Put32(block, 10, values.firmwareVersion);
  Put16(block, 14, values.infoWord8);
  return block;
}

}  // namespace vx::emu
