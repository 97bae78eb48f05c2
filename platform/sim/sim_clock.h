// Time on the simulated machine: Sleep returns at once and moves the virtual
// clock forward by the time slept. Each sleep is noted, so that tests can
// tell which poll interval a wait used.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

#include "emulator/virtual_clock.h"
#include "platform/clock_api.h"

namespace vx::platform::sim {

class SimClock : public ClockApi {
 public:
  explicit SimClock(emu::VirtualClock& clock) : clock_(clock) {}
  void Sleep(std::uint32_t milliseconds) override {
    std::lock_guard lock(mutex_);
    sleeps_.push_back(milliseconds);
    clock_.Advance(milliseconds);
  }
  std::uint64_t NowMs() override { return clock_.NowMs(); }

  // The sleeps since the last call, in milliseconds, in order.
  std::vector<std::uint32_t> TakeSleeps() {
    std::lock_guard lock(mutex_);
    return std::exchange(sleeps_, {});
  }

 private:
  emu::VirtualClock& clock_;
  std::mutex mutex_;
  std::vector<std::uint32_t> sleeps_;
};

}  // namespace vx::platform::sim
