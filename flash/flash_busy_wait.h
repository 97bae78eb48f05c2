// The busy poll after a program, erase or status write.
//
// The wait is bounded in time rather than by a count of polls: a flash that
// never leaves its busy state (a dead chip, a bridge that answers every
// status read with 0xFF) must end in a clear failure, not hold the bridge's
// mutex for weeks. The bound is the longest wait any real job can need. The
// slowest job is a whole-chip erase of the largest chips in the table (32 MB
// class), which their makers specify at up to about 400 s. The erase poll
// intervals in the table grow with chip size, about a fortieth of that worst
// case, so 100 erase intervals leave a margin of more than two; the floor of
// ten minutes covers the chips whose interval understates their erase time.
// The bound only matters for a flash that is broken: a healthy one clears
// its busy bit long before.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"
#include "flash/flash_descriptor.h"

namespace vx {

// How long WaitWhileBusy waits, in all, for a flash to become idle: enough for
// the slowest whole-chip erase of any chip in the table, with a wide margin.
std::uint64_t BusyWaitLimitMs(const FlashDescriptor& chip);

// Polls the status register until the busy bit clears, sleeping
// pollIntervalMs between reads. Ten failed reads in a row are tolerated (they
// count as busy); the eleventh, or a flash still busy after
// BusyWaitLimitMs, ends the wait with false.
bool WaitWhileBusy(const DeviceRecord& device, std::uint32_t pollIntervalMs);

}  // namespace vx
