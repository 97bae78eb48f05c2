#include "platform/sim/sim_platform.h"

namespace vx::platform::sim {

SimPlatform::SimPlatform() = default;
SimPlatform::~SimPlatform() = default;

Platform SimPlatform::Apis() {
  Platform apis;
  apis.clock = &clockApi_;
  apis.files = &files_;
  apis.profile = &profile_;
  apis.mutexes = &mutexes_;
  return apis;
}

}  // namespace vx::platform::sim
