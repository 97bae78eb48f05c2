#include "discovery/chip_info_rules.h"

#include "flash/flash_identify.h"

namespace vx {

namespace {

std::uint16_t Word(const std::uint8_t* block, std::size_t at) {
  return static_cast<std::uint16_t>((block[at] << 8) | block[at + 1]);
}

std::uint32_t Long(const std::uint8_t* block, std::size_t at) {
  return (static_cast<std::uint32_t>(block[at]) << 24) | (block[at + 1] << 16) | (block[at + 2] << 8) | block[at + 3];
}

// Each byte b becomes (b / 10) * 16 + b % 10, kept to 8 bits.
std::uint32_t BcdLong(const std::uint8_t* block, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const std::uint8_t b = block[at + i];
    value = (value << 8) | static_cast<std::uint8_t>((b / 10) * 16 + b % 10);
  }
  return value;
}

template <typename Field>
void FillIfZero(Field& field, Field value) {
  if (field == 0) field = value;
}

void ClearFlashChip(DeviceRecord& record) {
  record.flashMatch = -1;
  record.flashChip = nullptr;
}

}  // namespace

void StoreDiskChipInfo(DeviceRecord& record, const std::uint8_t* block) {
  FillIfZero(record.vendorId, Word(block, 0));
  FillIfZero(record.productId, Word(block, 2));
  if (record.firmwareVersion == 0)
    record.firmwareVersion = record.productId == kBinaryVersionProduct ? BcdLong(block, 4) : Long(block, 4);
  FillIfZero(record.infoWord8, Word(block, 8));
  FillIfZero(record.infoWord12, Word(block, 12));
}

void StoreUsbChipInfo(DeviceRecord& record, const std::uint8_t* block) {
  FillIfZero(record.vendorId, Word(block, 0));
  FillIfZero(record.productId, Word(block, 2));
  FillIfZero(record.firmwareVersion, Long(block, 10));
  FillIfZero(record.infoWord8, Word(block, 14));
  FillIfZero(record.firmwareVersion, Long(block, 4));
  FillIfZero(record.infoWord8, Word(block, 8));
}

void SelectChipMode(DeviceRecord& record, std::uint8_t modeByte) {
  if (record.chipMode != kChipModeUnset && record.chipMode != kChipModeRejected) return;
  switch (modeByte) {
    case 0:
      record.chipMode = kChipModeByte0;
      ClearFlashChip(record);
      break;
    case 1: {
      record.chipMode = kChipModeSpiFlash;
      std::uint32_t id = 0;
      std::uint32_t index = 0;
      if (!IdentifyFlash(record, id, index)) ClearFlashChip(record);
      break;
    }
    case 2:
      record.chipMode = kChipModeByte2;
      ClearFlashChip(record);
      break;
    default:
      record.chipMode = kChipModeRejected;
      ClearFlashChip(record);
      break;
  }
}

}  // namespace vx
