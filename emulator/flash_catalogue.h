// The catalogue of emulated SPI flash parts. For every row of the flash
// table that identification can return there is at least one part whose
// answers to the read-ID commands select that row; beside them are parts
// that answer nothing, answer an unknown maker, or answer one command only.
// Sizes, protect bits, erase opcodes and busy times follow the row the part
// stands for, so that the row's protect value really protects the part; the
// 0xBF parts with a status register and 1F 47 power up protected.
#pragma once

#include <string_view>
#include <vector>

#include "emulator/flash_part.h"

namespace vx::emu {

const std::vector<FlashPart>& FlashCatalogue();

// The first catalogue part that identification must match to `row`.
// Throws std::out_of_range when no part selects that row (rows 0, 2, 7, 12
// and 13 are candidates only and never selected).
const FlashPart& PartForRow(int row);

// Throws std::out_of_range for an unknown name.
const FlashPart& PartNamed(std::string_view name);

// Parts that identification must not match.
inline constexpr std::string_view kSilentPart = "silent";                // answers no read-ID command
inline constexpr std::string_view kUnknownMakerPart = "unknown maker A1";  // maker code no row knows
inline constexpr std::string_view kContinuationCodePart = "7F 9D 13 only";  // 0x9F only, with a 7F prefix

}  // namespace vx::emu
