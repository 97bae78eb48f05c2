// The bridge lock: every operation that sends anything to a bridge holds the
// record's named mutex for its whole run.
//
//   BridgeLock lock(record.mutex);
//   if (!lock.Held()) return false;   // nothing sent
//   ... commands ...                  // released exactly once on every way out
//
// The wait lasts at most 5000 ms. Anything but "signalled" fails the
// operation; an abandoned mutex (its owner ended without releasing it) gives
// this thread ownership, so it is released at once and still counts as a
// failure: a bridge whose previous user died mid-operation is in an unknown
// state, and the operator should retry rather than have the updater carry on.
#pragma once

#include <cstdint>

#include "platform/handles.h"

namespace vx {

inline constexpr std::uint32_t kBridgeLockTimeoutMs = 5000;

class BridgeLock {
 public:
  explicit BridgeLock(platform::MutexHandle mutex);
  ~BridgeLock();
  BridgeLock(const BridgeLock&) = delete;
  BridgeLock& operator=(const BridgeLock&) = delete;

  bool Held() const { return held_; }

 private:
  platform::MutexHandle mutex_;
  bool held_ = false;
};

}  // namespace vx
