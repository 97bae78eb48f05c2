// Real time on Linux: Sleep blocks the calling thread, NowMs reads the
// monotonic clock.
#pragma once

#include "platform/clock_api.h"

namespace vx::platform::linux_backend {

class LinuxClock : public ClockApi {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t NowMs() override;
};

}  // namespace vx::platform::linux_backend
