// Which row of the flash table an ID word selects. Each manufacturer has a
// default row; for the read-ID opcodes that the manufacturer's chips answer
// in a known layout, the device bytes select a more specific row.
#pragma once

#include <cstdint>

#include "flash/flash_descriptor.h"

namespace vx {

struct FlashLookup {
  int index;                        // -1 when the manufacturer is unknown
  const FlashDescriptor* descriptor;  // null when index is -1
};

// The row for an ID word (byte 0 = manufacturer code) read with opcode.
FlashLookup LookupFlash(std::uint32_t idWord, std::uint8_t opcode);

}  // namespace vx
