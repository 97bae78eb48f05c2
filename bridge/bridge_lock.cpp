#include "bridge/bridge_lock.h"

#include "base/diagnostics.h"
#include "platform/mutex_api.h"
#include "platform/platform.h"

namespace vx {

BridgeLock::BridgeLock(platform::MutexHandle mutex) : mutex_(mutex) {
  if (mutex_ == platform::MutexHandle::None) {
    ReportCause("bridge lock: the bridge has no lock to take; nothing was sent");
    return;
  }
  auto& mutexes = platform::Mutexes();
  switch (mutexes.Wait(mutex_, kBridgeLockTimeoutMs)) {
    case platform::WaitResult::Signaled:
      held_ = true;
      break;
    case platform::WaitResult::Abandoned:
      mutexes.Release(mutex_);
      ReportCause("bridge lock: abandoned by an owner that ended while holding it; the bridge may be left "
                  "mid-operation, so nothing was sent");
      break;
    case platform::WaitResult::TimedOut:
      ReportCause("bridge lock: not obtained within %u ms; another program or thread is using the bridge",
                  static_cast<unsigned>(kBridgeLockTimeoutMs));
      break;
    case platform::WaitResult::Failed:
      ReportCause("bridge lock: waiting for it failed");
      break;
  }
}

BridgeLock::~BridgeLock() {
  if (held_) platform::Mutexes().Release(mutex_);
}

}  // namespace vx
