// The simulated machine as a platform backend: tests and the simulate mode
// create one SimPlatform and install its Apis(). Every area runs in memory on
// one virtual clock.
#pragma once

#include <memory>

#include "emulator/virtual_clock.h"
#include "platform/ini_profile.h"
#include "platform/platform.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_mutexes.h"

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
  // In-memory files; the profile reader reads them too.
  SimFiles& Files() { return files_; }
  SimMutexes& Mutexes() { return mutexes_; }

 private:
  emu::VirtualClock clock_;
  SimClock clockApi_{clock_};
  SimFiles files_;
  IniProfile profile_{files_};
  SimMutexes mutexes_{clock_};
};

}  // namespace vx::platform::sim
