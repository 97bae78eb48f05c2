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
#include <algorithm>
#include <array>

#include "flash/flash_primitives.h"
#include "platform/clock_api.h"
#include "platform/platform.h"

namespace vx {
namespace {

constexpr std::uint64_t kBusyWaitFloorMs = 10 * 60 * 1000;
constexpr std::uint64_t kBusyWaitEraseIntervals = 100;
constexpr int kToleratedFailedReads = 10;
constexpr std::uint8_t kBusyBit = 0x01;

}  // namespace

std::uint64_t BusyWaitLimitMs(const FlashDescriptor& chip) {
  return std::max(kBusyWaitFloorMs, kBusyWaitEraseIntervals * chip.chipErase.pollIntervalMs);
}

bool WaitWhileBusy(const DeviceRecord& device, std::uint32_t pollIntervalMs) {
  if (IsEmpty(device.diskPath) || device.flashChip == nullptr) return false;
  platform::ClockApi& clock = platform::Clock();
  const std::uint64_t start = clock.NowMs();
  const std::uint64_t limit = BusyWaitLimitMs(*device.flashChip);
  // A failed read leaves the last status in place; before the first
  // successful read that is all ones, so a failed read counts as busy.
  std::array<std::uint8_t, sizeof(std::uint32_t)> status;
  status.fill(0xFF);
  int failedReads = 0;
  for (;;) {
    if (FlashReadStatus(device, status)) {
      failedReads = 0;
    } else if (failedReads == kToleratedFailedReads) {
      return false;
    } else {
      ++failedReads;
    }
    if ((status[0] & kBusyBit) == 0) return true;
    if (clock.NowMs() - start >= limit) return false;
    // At least 1 ms, so that the time bound is reached even for an interval of 0.
    clock.Sleep(std::max<std::uint32_t>(pollIntervalMs, 1));
  }
}

}  // namespace vx
