// The bridge lock against both mutex backends: it holds the mutex only after
// a signalled wait and gives it back exactly once on every way out.
#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

#include "discovery/bridge_lock.h"
#include "platform/linux/linux_mutexes.h"
#include "platform/linux/shared_mutex_name.h"
#include "platform/sim/sim_platform.h"
#include "platform/text.h"
#include "tests/platform/mutex_holder_process.h"

namespace vx {
namespace {

using platform::MutexHandle;
using platform::WaitResult;

constexpr std::u16string_view kSlot = u"[Device0000]";

class BridgeLockSimTest : public ::testing::Test {
 protected:
  platform::sim::SimPlatform sim_;
  platform::ScopedPlatform scoped_{sim_.Apis()};
  platform::sim::SimMutexes& mutexes_ = sim_.Mutexes();
  MutexHandle mutex_ = mutexes_.Create(kSlot);
};

bool OperationThatFailsHalfway(MutexHandle mutex) {
  BridgeLock lock(mutex);
  if (!lock.Held()) return false;
  return false;  // a command failed
}

void OperationThatThrows(MutexHandle mutex) {
  BridgeLock lock(mutex);
  throw std::runtime_error("step failed");
}

TEST_F(BridgeLockSimTest, ReleasedOnceOnEveryWayOut) {
  { BridgeLock lock(mutex_); EXPECT_TRUE(lock.Held()); }
  EXPECT_FALSE(OperationThatFailsHalfway(mutex_));
  EXPECT_THROW(OperationThatThrows(mutex_), std::runtime_error);
  EXPECT_FALSE(mutexes_.IsOwned(kSlot));
  EXPECT_EQ(mutexes_.FailedReleases(), 0);
  // The next operation gets it at once.
  BridgeLock next(mutex_);
  EXPECT_TRUE(next.Held());
  EXPECT_EQ(sim_.Clock().NowMs(), 0u);
}

TEST_F(BridgeLockSimTest, HolderKeepingItPastTheLimitFailsTheLock) {
  mutexes_.HoldByForeignOwner(kSlot);
  {
    BridgeLock lock(mutex_);
    EXPECT_FALSE(lock.Held());
  }
  EXPECT_EQ(sim_.Clock().NowMs(), kBridgeLockTimeoutMs);
  EXPECT_TRUE(mutexes_.IsOwned(kSlot));  // still the other holder's; not released by us
  EXPECT_EQ(mutexes_.FailedReleases(), 0);
}

TEST_F(BridgeLockSimTest, HolderReleasingWithinTheLimitLetsItThrough) {
  mutexes_.HoldByForeignOwner(kSlot, kBridgeLockTimeoutMs);
  BridgeLock lock(mutex_);
  EXPECT_TRUE(lock.Held());
}

TEST_F(BridgeLockSimTest, AbandonedMutexFailsTheLockButIsNotLeftOwned) {
  mutexes_.HoldByForeignOwner(kSlot);
  mutexes_.KillForeignOwner(kSlot);
  {
    BridgeLock lock(mutex_);
    EXPECT_FALSE(lock.Held());
  }
  EXPECT_FALSE(mutexes_.IsOwned(kSlot));
  BridgeLock retry(mutex_);
  EXPECT_TRUE(retry.Held());
}

TEST_F(BridgeLockSimTest, FailedWaitAndNoMutexHoldNothing) {
  platform::sim::SimMutexFaults faults;
  faults.wait = true;
  mutexes_.SetFaults(kSlot, faults);
  { BridgeLock lock(mutex_); EXPECT_FALSE(lock.Held()); }
  { BridgeLock lock(MutexHandle::None); EXPECT_FALSE(lock.Held()); }
  EXPECT_EQ(mutexes_.WaitCount(kSlot), 1);
  EXPECT_EQ(mutexes_.FailedReleases(), 0);
}

// The same rules against real named mutexes and a holder in another process.
class BridgeLockLinuxTest : public ::testing::Test {
 protected:
  ~BridgeLockLinuxTest() override {
    mutexes_.Close(mutex_);
    ::shm_unlink(platform::linux_backend::SharedMutexObjectName(name_, ::geteuid())->c_str());
  }

  std::u16string name_ = u"[vx-test bridge lock " + FromUtf8(std::to_string(::getpid())) + u"]";
  platform::linux_backend::LinuxMutexes mutexes_;
  platform::Platform apis_{.mutexes = &mutexes_};
  platform::ScopedPlatform scoped_{apis_};
  MutexHandle mutex_ = mutexes_.Create(name_);
};

TEST_F(BridgeLockLinuxTest, ReleasedOnEveryWayOut) {
  EXPECT_FALSE(OperationThatFailsHalfway(mutex_));
  EXPECT_THROW(OperationThatThrows(mutex_), std::runtime_error);
  EXPECT_FALSE(mutexes_.Release(mutex_));  // nothing left owned
  testing::MutexHolderProcess other(name_);
  EXPECT_TRUE(other.Held());  // another process gets it at once
}

TEST_F(BridgeLockLinuxTest, AbandonedByADeadProcessFailsOnceThenWorks) {
  {
    testing::MutexHolderProcess holder(name_);
    ASSERT_TRUE(holder.Held());
    holder.Kill();
  }
  {
    BridgeLock lock(mutex_);
    EXPECT_FALSE(lock.Held());
  }
  EXPECT_FALSE(mutexes_.Release(mutex_));  // given back at once
  BridgeLock retry(mutex_);
  EXPECT_TRUE(retry.Held());
}

}  // namespace
}  // namespace vx
