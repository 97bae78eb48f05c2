// The simulated machine's platform version.
#pragma once

#include "platform/sim/sim_machine.h"
#include "platform/system_api.h"

namespace vx::platform::sim {

class SimSystem final : public SystemApi {
 public:
  explicit SimSystem(SimMachine& machine) : machine_(machine) {}

  bool GetVersion(OsVersion& version) override {
    if (machine_.failVersion) return false;
    version = {10, 0, 19045, machine_.platformId};
    return true;
  }

 private:
  SimMachine& machine_;
};

}  // namespace vx::platform::sim
