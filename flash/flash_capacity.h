// How far the flash behind a bridge reaches. The flash commands carry 24-bit
// addresses, and a flash wraps addresses beyond its end around to 0, so
// anything written past the end lands on the configuration and code.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

// Everything a 24-bit flash address can reach.
inline constexpr std::uint64_t kFlashAddressSpace = 0x1000000;

// The capacity in bytes that a flash ID word tells, or 0 when it does not
// tell one. Only an answer to the JEDEC read-ID command tells it: three
// bytes, the third of which is the base-2 logarithm of the capacity (0x10 for
// 64 KiB up to 0x18 for 16 MiB).
std::uint32_t FlashCapacityFromId(std::uint32_t flashId);

// False when address .. address + length runs past the flash's end as far as
// it is known without asking the bridge: beyond 24-bit addresses, or beyond
// the capacity the record's flash ID tells.
bool WithinKnownEnd(const DeviceRecord& device, std::uint32_t address, std::uint32_t length);

// True when address .. address + length lies inside the bridge's flash: inside
// the capacity its ID tells, or, when the ID tells none, inside what the
// bridge itself confirms by reading the range's last disk-image block (it
// refuses blocks beyond its flash). Takes the bridge lock for the read.
bool FlashRangeExists(const DeviceRecord& device, std::uint32_t address, std::uint32_t length);

}  // namespace vx
