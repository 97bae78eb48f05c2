// The simulated machine as a platform backend: tests and the simulate mode
// create one SimPlatform and install its Apis(). Every area runs in memory on
// one virtual clock.
#pragma once

#include <memory>

#include "emulator/virtual_clock.h"
#include "platform/platform.h"

namespace vx::platform::sim {

class SimPlatform {
 public:
  SimPlatform();
  ~SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  // The set of areas to install (platform::ScopedPlatform).
  Platform Apis();

  emu::VirtualClock& Clock() { return clock_; }

 private:
  emu::VirtualClock clock_;
};

}  // namespace vx::platform::sim
