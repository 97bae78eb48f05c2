#include "flash/flash_busy_wait.h"

#include <algorithm>
#include <array>

#include "base/diagnostics.h"
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
      ReportCause("flash: busy wait ended: %d status reads in a row failed", kToleratedFailedReads + 1);
      return false;
    } else {
      ++failedReads;
    }
    if ((status[0] & kBusyBit) == 0) return true;
    if (clock.NowMs() - start >= limit) {
      ReportCause("flash: busy wait ended: still busy after %u s (status %02X)",
                  static_cast<unsigned>(limit / 1000), status[0]);
      return false;
    }
    // At least 1 ms, so that the time bound is reached even for an interval of 0.
    clock.Sleep(std::max<std::uint32_t>(pollIntervalMs, 1));
  }
}

}  // namespace vx
