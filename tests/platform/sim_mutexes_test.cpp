// The simulated named mutexes: foreign owners on the virtual clock, real
// threads of this process, faults on demand.
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
};

TEST_F(SimMutexesTest, ForeignHolderTimesTheWaitOutOnTheVirtualClock) {
  const MutexHandle mutex = mutexes_.Create(kName);
  ASSERT_TRUE(mutexes_.HoldByForeignOwner(kName));
  EXPECT_EQ(mutexes_.Wait(mutex, 5000), WaitResult::TimedOut);
  EXPECT_EQ(clock_.NowMs(), 5000u);
  EXPECT_EQ(mutexes_.Wait(mutex, kWaitInfinite), WaitResult::Failed);  // would never return
  mutexes_.ReleaseByForeignOwner(kName);
  EXPECT_EQ(mutexes_.Wait(mutex, 5000), WaitResult::Signaled);
  EXPECT_EQ(clock_.NowMs(), 5000u);
  EXPECT_EQ(mutexes_.WaitCount(kName), 3);
}

TEST_F(SimMutexesTest, ForeignHolderReleasingInTimeHandsItOver) {
  const MutexHandle mutex = mutexes_.Create(kName);
  ASSERT_TRUE(mutexes_.HoldByForeignOwner(kName, 4999));
  EXPECT_EQ(mutexes_.Wait(mutex, 5000), WaitResult::Signaled);
  EXPECT_EQ(clock_.NowMs(), 4999u);
  EXPECT_TRUE(mutexes_.Release(mutex));
  ASSERT_TRUE(mutexes_.HoldByForeignOwner(kName, 5001));
  EXPECT_EQ(mutexes_.Wait(mutex, 5000), WaitResult::TimedOut);
  EXPECT_EQ(clock_.NowMs(), 4999u + 5000u);
  EXPECT_TRUE(mutexes_.IsOwned(kName));
  clock_.Advance(1);
  EXPECT_FALSE(mutexes_.IsOwned(kName));
}

TEST_F(SimMutexesTest, DeadForeignOwnerLeavesItAbandonedOnce) {
  const MutexHandle mutex = mutexes_.Create(kName);
  ASSERT_TRUE(mutexes_.HoldByForeignOwner(kName));
  mutexes_.KillForeignOwner(kName);
  EXPECT_EQ(mutexes_.Wait(mutex, 5000), WaitResult::Abandoned);
  EXPECT_TRUE(mutexes_.IsOwned(kName));  // the waiter owns it
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_EQ(mutexes_.Wait(mutex, 5000), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_EQ(clock_.NowMs(), 0u);
}

TEST_F(SimMutexesTest, RecursiveForTheOwnerThreadAndReleasedOnlyByIt) {
  const MutexHandle mutex = mutexes_.Create(kName);
  ASSERT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  ASSERT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  EXPECT_FALSE(mutexes_.HoldByForeignOwner(kName));
  std::thread([&] {
    EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::TimedOut);
    EXPECT_FALSE(mutexes_.Release(mutex));
  }).join();
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_TRUE(mutexes_.IsOwned(kName));
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_FALSE(mutexes_.IsOwned(kName));
  EXPECT_FALSE(mutexes_.Release(mutex));
  EXPECT_EQ(mutexes_.FailedReleases(), 2);
}

TEST_F(SimMutexesTest, RealThreadWaitsUntilTheOwnerThreadReleases) {
  const MutexHandle mutex = mutexes_.Create(kName);
  ASSERT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  std::atomic<bool> got{false};
  std::thread waiter([&] {
    got = mutexes_.Wait(mutex, 5000) == WaitResult::Signaled;
    mutexes_.Release(mutex);
  });
  while (mutexes_.WaitCount(kName) < 2) std::this_thread::yield();
  clock_.Advance(100);  // the owner works a little, well within the waiter's limit
  EXPECT_FALSE(got);
  EXPECT_TRUE(mutexes_.Release(mutex));
  waiter.join();
  EXPECT_TRUE(got);
}

TEST_F(SimMutexesTest, RealThreadTimesOutWhenTheOwnerKeepsItTooLong) {
  const MutexHandle mutex = mutexes_.Create(kName);
  ASSERT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  WaitResult result = WaitResult::Signaled;
  std::thread waiter([&] { result = mutexes_.Wait(mutex, 5000); });
  while (mutexes_.WaitCount(kName) < 2) std::this_thread::yield();
  clock_.Advance(5001);
  EXPECT_TRUE(mutexes_.Release(mutex));
  waiter.join();
  EXPECT_EQ(result, WaitResult::TimedOut);
  EXPECT_FALSE(mutexes_.IsOwned(kName));
}

TEST_F(SimMutexesTest, NamedObjectLivesWhileHandlesAreOpen) {
  EXPECT_EQ(mutexes_.Open(kName), MutexHandle::None);
  const MutexHandle created = mutexes_.Create(kName);
  const MutexHandle opened = mutexes_.Open(kName);
  ASSERT_NE(opened, MutexHandle::None);
  EXPECT_EQ(mutexes_.OpenHandles(), 2u);
  EXPECT_TRUE(mutexes_.Close(created));
  EXPECT_TRUE(mutexes_.Exists(kName));
  EXPECT_TRUE(mutexes_.Close(opened));
  EXPECT_FALSE(mutexes_.Exists(kName));
  EXPECT_EQ(mutexes_.Wait(opened, 0), WaitResult::Failed);
  EXPECT_EQ(mutexes_.OpenHandles(), 0u);
}

TEST_F(SimMutexesTest, FaultsOnDemand) {
  mutexes_.SetFaults(u"[Device0002]", {.open = true, .create = true, .wait = false});
  EXPECT_EQ(mutexes_.Create(u"[Device0002]"), MutexHandle::None);
  const MutexHandle other = mutexes_.Create(u"[Device0001]");
  ASSERT_NE(other, MutexHandle::None);
  mutexes_.SetFaults(u"", {.open = false, .create = false, .wait = true});
  EXPECT_EQ(mutexes_.Wait(other, 0), WaitResult::Failed);
  EXPECT_FALSE(mutexes_.IsOwned(u"[Device0001]"));
  mutexes_.SetFaults(u"", {});
  EXPECT_EQ(mutexes_.Wait(other, 0), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(other));
}

}  // namespace
}  // namespace vx::platform::sim
