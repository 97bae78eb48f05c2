#include "platform/sim/sim_platform.h"

namespace vx::platform::sim {

SimPlatform::SimPlatform() = default;
SimPlatform::~SimPlatform() = default;

Platform SimPlatform::Apis() {
  Platform apis;
  return apis;
}

}  // namespace vx::platform::sim
