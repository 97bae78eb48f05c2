#include "platform/linux/linux_clock.h"

#include <cerrno>
#include <ctime>

namespace vx::platform::linux_backend {

void LinuxClock::Sleep(std::uint32_t milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal handler interrupting the sleep does not shorten it.
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

std::uint64_t LinuxClock::NowMs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace vx::platform::linux_backend
