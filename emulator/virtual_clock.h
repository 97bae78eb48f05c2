// The simulated machine's clock, in milliseconds. Nothing runs in real time
// on it: sleeping advances it, and the emulated flash chips measure their
// busy time on it.
#pragma once

#include <atomic>
#include <cstdint>

namespace vx::emu {

class VirtualClock {
 public:
  std::uint64_t NowMs() const { return now_.load(); }
  void Advance(std::uint64_t ms) { now_.fetch_add(ms); }

 private:
  std::atomic<std::uint64_t> now_{0};
};

}  // namespace vx::emu
