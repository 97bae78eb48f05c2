// Time on the simulated machine: Sleep returns at once and moves the virtual
// clock forward by the time slept.
#pragma once

#include "emulator/virtual_clock.h"
#include "platform/clock_api.h"

namespace vx::platform::sim {

class SimClock : public ClockApi {
 public:
  explicit SimClock(emu::VirtualClock& clock) : clock_(clock) {}
  void Sleep(std::uint32_t milliseconds) override { clock_.Advance(milliseconds); }
  std::uint64_t NowMs() override { return clock_.NowMs(); }

 private:
  emu::VirtualClock& clock_;
};

}  // namespace vx::platform::sim
