#include "bridge/bridge_lock.h"

#include "platform/mutex_api.h"
#include "platform/platform.h"

namespace vx {

BridgeLock::BridgeLock(platform::MutexHandle mutex) : mutex_(mutex) {
  if (mutex_ == platform::MutexHandle::None) return;
  auto& mutexes = platform::Mutexes();
  switch (mutexes.Wait(mutex_, kBridgeLockTimeoutMs)) {
    case platform::WaitResult::Signaled:
      held_ = true;
      break;
    case platform::WaitResult::Abandoned:
      mutexes.Release(mutex_);
      break;
    case platform::WaitResult::TimedOut:
    case platform::WaitResult::Failed:
      break;
  }
}

BridgeLock::~BridgeLock() {
  if (held_) platform::Mutexes().Release(mutex_);
}

}  // namespace vx
