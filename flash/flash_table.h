// The built-in table of the SPI flash chips a bridge may carry. Its rows are
// both the candidates that identification tries (each with its read-ID
// command) and the results that the lookup returns; a device record's
// flashChip points into it.
#pragma once

#include "flash/flash_descriptor.h"

namespace vx {

extern const FlashDescriptor FlashDescriptorTable[kFlashTableRows];

}  // namespace vx
