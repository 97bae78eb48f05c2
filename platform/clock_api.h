// Sleep and a millisecond clock. The simulated platform runs a virtual clock
// on which Sleep returns at once and advances time.
#pragma once

#include <cstdint>

namespace vx::platform {

class ClockApi {
 public:
  virtual ~ClockApi() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Milliseconds since an arbitrary fixed start; only differences matter.
  virtual std::uint64_t NowMs() = 0;
};

}  // namespace vx::platform
