// Identification of the flash chip behind a bridge against the flash table.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

// Tries the read-ID command of every table row in order under the bridge
// lock; on success sets flashChip, flashMatch and flashId of the record.
bool IdentifyFlash(DeviceRecord& device, std::uint32_t& id, std::uint32_t& index);

}  // namespace vx
