// One row of the flash chip table: the page size, the SPI commands and the
// protection values of one family of SPI flash chips. 105 unsigned 32-bit
// words, in the order the table is laid out.
#pragma once

#include <cstdint>

namespace vx {

struct FlashCommand {
  std::uint32_t opcode;          // SPI opcode (low byte); 0 = the chip has no such command
  std::uint32_t commandLength;   // bytes of the command phase, opcode included
  std::uint32_t dataLength;      // bytes of the data phase where the descriptor gives it
  std::uint32_t pollIntervalMs;  // sleep between status polls after this command
};

struct FlashDescriptor {
  std::uint32_t pageSize;
  FlashCommand writeEnable;
  FlashCommand writeDisable;
  FlashCommand readStatus;
  FlashCommand writeStatus;
  FlashCommand read;
  FlashCommand pageProgram;
  FlashCommand readId;
  FlashCommand sectorErase;
  FlashCommand chipErase;
  FlashCommand blockErase;
  FlashCommand fastRead;
  FlashCommand extra[9];  // chip-specific extras, second read-ID, power-down, signature reads
  FlashCommand enableWriteStatus;  // pre-command before writeStatus when its opcode is not 0
  std::uint32_t reserved86[2];
  std::uint32_t protectStatus;    // status value that sets the block-protect bits
  std::uint32_t unprotectStatus;  // status value that clears them
  std::uint32_t reserved90[16];
};

static_assert(sizeof(FlashDescriptor) == 105 * sizeof(std::uint32_t));

inline constexpr int kFlashTableRows = 48;

}  // namespace vx
