// Single SPI flash commands, each carried by one vendor command (two for a
// status write with a pre-command). Opcodes and lengths come from the
// record's flashChip. A primitive sends nothing and fails when
// no descriptor is in force, when the chip lacks the command, or when the
// bridge's chipMode does not route SPI commands to the flash. None takes the
// bridge lock (the calling operation holds it) and none retries.
#pragma once

#include <cstdint>
#include <span>

#include "bridge/device_record.h"
#include "flash/flash_descriptor.h"

namespace vx {

// Reads the readId answer into idWord, first byte received lowest; bytes the
// command does not return are 0. idWord is untouched on failure.
bool FlashReadId(const DeviceRecord& device, std::uint32_t& idWord);

// Sends write enable (enable) or write disable. Fails unless the chip has both.
bool FlashWriteEnable(const DeviceRecord& device, bool enable);

// Reads the readStatus answer (its dataLength bytes) into the front of out;
// fails without sending when out is too small for it.
bool FlashReadStatus(const DeviceRecord& device, std::span<std::uint8_t> out);

// Writes the status register: the pre-command when the chip has one, then the
// writeStatus opcode with commandLength - 1 bytes from statusBytes inside the
// command (missing bytes sent as 0). True without sending anything when the
// chip has no status register to write.
bool FlashWriteStatus(const DeviceRecord& device, std::span<const std::uint8_t> statusBytes);

bool FlashChipErase(const DeviceRecord& device);

// Address bits above 23 are dropped; the caller keeps length within a page.
bool FlashPageProgram(const DeviceRecord& device, std::uint32_t address, const std::uint8_t* data,
                      std::uint32_t length);
bool FlashRead(const DeviceRecord& device, std::uint32_t address, std::uint8_t* out, std::uint32_t length);

}  // namespace vx
