// What an emulated flash keeps while the machine is off: its array and its
// status register's non-volatile bits, as kept in a file between runs.
//
// Layout: the array, byte for byte, then an 8-byte trailer "VXSR", the
// format number 1, the number of status bytes kept (2) and those bytes. A
// file of the array alone (written before the status was kept) is read too:
// the status is then left as the chip powered up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "emulator/spi_flash.h"

namespace vx::emu {

// Bytes a state holds beyond the array.
inline constexpr std::size_t kFlashStateTrailerSize = 8;

std::vector<std::uint8_t> SaveFlashState(const SpiFlash& flash);

// Loads saved bytes into flash and power-cycles it. False with a message in
// error, and the flash untouched, when the bytes are not a state of a flash
// of this size.
bool LoadFlashState(std::span<const std::uint8_t> saved, SpiFlash& flash, std::string& error);

}  // namespace vx::emu
