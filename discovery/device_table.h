// The table of bridges found: a packed array of records, one named mutex
// "[Device%04d]" per slot.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

// Enumerates the present USB devices, keeps every bridge found; true when at
// least one is in the table. Expects an empty table (release first).
bool RefreshDevices(DeviceRecord*& table, std::int32_t& count);
// Closes the slot mutexes and frees the table; pointer null and count 0 after.
// True when there was a table to free.
bool ReleaseDevices(DeviceRecord*& table, std::int32_t& count);

}  // namespace vx
