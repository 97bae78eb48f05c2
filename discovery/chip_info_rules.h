// How a bridge's 16-byte chip-information block (big-endian fields) is stored
// in its record. Each field is written only while it is still zero, so the
// first block that provides a value wins, whichever side it came from.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

inline constexpr std::size_t kChipInfoBytes = 16;
// The disk-side block's mode byte.
inline constexpr std::size_t kChipInfoModeByte = 11;
// The product whose firmware version bytes are binary and shown as BCD.
inline constexpr std::uint16_t kBinaryVersionProduct = 0x94C1;

// The block as read from the disk interface: vendor 0-1, product 2-3,
// version 4-7 (BCD-converted for product 0x94C1), word 8-9, word 12-13.
void StoreDiskChipInfo(DeviceRecord& record, const std::uint8_t* block);
// The block as read from the WinUSB interface: vendor 0-1, product 2-3,
// version 10-13 (else 4-7), word 14-15 (else 8-9).
void StoreUsbChipInfo(DeviceRecord& record, const std::uint8_t* block);

// Selects chipMode from the disk-side mode byte (byte 11) unless a mode was
// selected before: 0 -> 4, 1 -> 3 with flash identification, 2 -> 5, any
// other -> 7. Every mode but 3 leaves the record without a flash chip, and so
// does a failed identification.
void SelectChipMode(DeviceRecord& record, std::uint8_t modeByte);

}  // namespace vx
