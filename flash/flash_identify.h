// Identification of the flash chip behind a bridge against the flash table.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"
#include "flash/flash_descriptor.h"

namespace vx {

struct FlashLookup {
  int index;                        // -1 when the manufacturer is unknown
  const FlashDescriptor* descriptor;  // null when index is -1
};

// The row for an ID word (byte 0 = manufacturer code) read with opcode.
FlashLookup LookupFlash(std::uint32_t idWord, std::uint8_t opcode);

// Tries the read-ID command of every table row in order under the bridge
// lock; on success sets flashChip, flashMatch and flashId of the record.
bool IdentifyFlash(DeviceRecord& device, std::uint32_t& id, std::uint32_t& index);

}  // namespace vx
