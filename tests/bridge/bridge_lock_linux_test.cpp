// The bridge lock over the Linux named mutexes, against a holder in another
// process.
#include <gtest/gtest.h>

#include <stdexcept>

#include "bridge/bridge_lock.h"
#include "tests/platform/linux_mutexes_fixture.h"

namespace vx::platform::linux_backend {
namespace {

using testing::MutexHolderProcess;

// The bridge lock fails on an abandoned mutex and gives it back at once; a
// lock that was held is given back on a throw too, to another process.
TEST_F(LinuxMutexesTest, HolderThatDiesLeavesItAbandonedOnce) {
  mutex_ = mutexes_.Create(name_);
  MutexHolderProcess(name_).Kill();
  EXPECT_EQ(mutexes_.Wait(mutex_, 1000), WaitResult::Abandoned);
  EXPECT_TRUE(mutexes_.Release(mutex_));  // the waiter owned it
  MutexHolderProcess(name_).Kill();
  {
    BridgeLock lock(mutex_);
    EXPECT_FALSE(lock.Held());
  }
  EXPECT_FALSE(mutexes_.Release(mutex_));
  EXPECT_THROW(BridgeLock lock(mutex_); throw std::runtime_error("step failed"), std::runtime_error);
  EXPECT_FALSE(mutexes_.Release(mutex_));         // nothing left owned
  EXPECT_TRUE(MutexHolderProcess(name_).Held());  // another process gets it at once
}

}  // namespace
}  // namespace vx::platform::linux_backend
