// The 16-byte chip information block a bridge reports about itself, on its
// disk interface (vendor command 0xD0) and on its WinUSB interface (control
// request 0xF1). Multi-byte values are big-endian.
#pragma once

#include <array>
#include <cstdint>

namespace vx::emu {

using ChipInfoBlock = std::array<std::uint8_t, 16>;

inline constexpr std::uint16_t kBridgeVendorId = 0x1B7E;
inline constexpr std::uint16_t kBridgeProductId = 0x94C6;

// Mode byte (byte 11 of the disk-side block): how the bridge reaches its
// firmware store. Only kModeSpiFlash lets SPI commands through to the flash.
inline constexpr std::uint8_t kModeSpiFlash = 1;

struct ChipInfoValues {
  std::uint16_t vendorId = kBridgeVendorId;
  std::uint16_t productId = kBridgeProductId;
  std::uint32_t firmwareVersion = 0x01000005;
  std::uint16_t infoWord8 = 0;
  std::uint8_t mode = kModeSpiFlash;
  std::uint16_t infoWord12 = 0;
};

// Disk side: vendor 0-1, product 2-3, version 4-7, word 8-9, mode 11, word 12-13.
ChipInfoBlock DiskChipInfo(const ChipInfoValues& values);
// WinUSB side: vendor 0-1, product 2-3, version 10-13, word 14-15.
ChipInfoBlock UsbChipInfo(const ChipInfoValues& values);

}  // namespace vx::emu
