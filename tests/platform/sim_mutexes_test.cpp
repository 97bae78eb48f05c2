// The simulated named mutexes between real threads of this process. (Foreign
// owners on the virtual clock are proven with the bridge lock.)
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/sim/sim_mutexes.h"

namespace vx::platform::sim {
namespace {

constexpr std::u16string_view kName = u"[Device0000]";

class SimMutexesTest : public ::testing::Test {
 protected:
  emu::VirtualClock clock_;
  SimMutexes mutexes_{clock_};
  MutexHandle mutex_ = mutexes_.Create(kName);
};

// Recursive for its owner thread; another real thread waits until the owner
// has released it as often as it took it, then judges its limit by the
// virtual time that passed meanwhile.
TEST_F(SimMutexesTest, RealThreadWaitsForTheOwnerThread) {
  for (const std::uint64_t ownerWorksMs : {100u, 5001u}) {
    SCOPED_TRACE(ownerWorksMs);
    ASSERT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);
    ASSERT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);
    EXPECT_FALSE(mutexes_.HoldByForeignOwner(kName));
    const int waitsBefore = mutexes_.WaitCount(kName);
    std::atomic<bool> done{false};
    WaitResult result = WaitResult::Failed;
    std::thread waiter([&] {
      EXPECT_FALSE(mutexes_.Release(mutex_));  // not the owner
      result = mutexes_.Wait(mutex_, 5000);
      if (result == WaitResult::Signaled) mutexes_.Release(mutex_);
      done = true;
    });
    while (mutexes_.WaitCount(kName) == waitsBefore) std::this_thread::yield();
    clock_.Advance(ownerWorksMs);
    EXPECT_TRUE(mutexes_.Release(mutex_));
    EXPECT_TRUE(mutexes_.IsOwned(kName));
    EXPECT_FALSE(done);
    EXPECT_TRUE(mutexes_.Release(mutex_));
    waiter.join();
    EXPECT_EQ(result, ownerWorksMs < 5000 ? WaitResult::Signaled : WaitResult::TimedOut);
    EXPECT_FALSE(mutexes_.IsOwned(kName));
  }
  EXPECT_FALSE(mutexes_.Release(mutex_));
  EXPECT_EQ(mutexes_.FailedReleases(), 3);
}

}  // namespace
}  // namespace vx::platform::sim
