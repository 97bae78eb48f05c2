// Named mutexes shared between processes, and the bridge lock over them:
// time-outs against a holder in another process, abandonment when that
// process dies, recursion and ownership within this one.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

#include "discovery/bridge_lock.h"
#include "platform/linux/linux_mutexes.h"
#include "platform/linux/shared_mutex_name.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "tests/platform/mutex_holder_process.h"

namespace vx::platform::linux_backend {
namespace {

using testing::MutexHolderProcess;

// A mutex name of this test process only; its shared-memory object is
// removed afterwards.
class LinuxMutexesTest : public ::testing::Test {
 protected:
  ~LinuxMutexesTest() override {
    mutexes_.Close(mutex_);
    ::shm_unlink(SharedMutexObjectName(name_, ::geteuid())->c_str());
  }

  const std::u16string name_ = FromUtf8("[vx-test " + std::to_string(::getpid()) + "]");
  LinuxMutexes mutexes_;
  Platform apis_{.mutexes = &mutexes_};
  ScopedPlatform scoped_{apis_};
  MutexHandle mutex_ = MutexHandle::None;
};

TEST_F(LinuxMutexesTest, RecursiveForItsOwnerThreadOnly) {
  mutex_ = mutexes_.Create(name_);
  ASSERT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);
  ASSERT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);
  std::thread([&] {
    EXPECT_EQ(mutexes_.Wait(mutex_, 20), WaitResult::TimedOut);
    EXPECT_FALSE(mutexes_.Release(mutex_));  // not the owner
  }).join();
  EXPECT_TRUE(mutexes_.Release(mutex_));
  EXPECT_TRUE(mutexes_.Release(mutex_));
  EXPECT_FALSE(mutexes_.Release(mutex_));
  std::thread([&] {
    EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);
    EXPECT_TRUE(mutexes_.Release(mutex_));
  }).join();
}

TEST_F(LinuxMutexesTest, WaitTimesOutWhileAnotherProcessHoldsIt) {
  EXPECT_EQ(mutexes_.Open(name_), MutexHandle::None);
  MutexHolderProcess holder(name_);  // creates the mutex
  ASSERT_TRUE(holder.Held());
  mutex_ = mutexes_.Open(name_);
  ASSERT_NE(mutex_, MutexHandle::None);
  EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::TimedOut);
  EXPECT_EQ(mutexes_.Wait(mutex_, 30), WaitResult::TimedOut);
  EXPECT_FALSE(mutexes_.Release(mutex_));
  ASSERT_TRUE(holder.ReleaseAndExit());
  const MutexHandle created = mutexes_.Create(name_);  // the same mutex through a second handle
  EXPECT_EQ(mutexes_.Wait(created, 0), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(mutex_));
  EXPECT_TRUE(mutexes_.Close(created));
  EXPECT_FALSE(mutexes_.Close(created));
  EXPECT_EQ(mutexes_.Wait(created, 0), WaitResult::Failed);
  EXPECT_EQ(mutexes_.Create(u""), MutexHandle::None);
}

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

TEST(SharedMutexObjectName, KeepsNamesApartPerUser) {
  EXPECT_EQ(SharedMutexObjectName(u"[Device0000]", 1000), "/vx94c6-mutex.1000.%005BDevice0000%005D");
  EXPECT_EQ(SharedMutexObjectName(u"[Device check chip]", 0), "/vx94c6-mutex.0.%005BDevice%0020check%0020chip%005D");
  EXPECT_NE(SharedMutexObjectName(u"a b", 0), SharedMutexObjectName(u"a%0020b", 0));
  EXPECT_NE(SharedMutexObjectName(u"Dev", 0), SharedMutexObjectName(u"dev", 0));
  EXPECT_EQ(SharedMutexObjectName(u"a/b", 0)->find('/', 1), std::string::npos);
  EXPECT_EQ(SharedMutexObjectName(u"", 0), std::nullopt);
  EXPECT_EQ(SharedMutexObjectName(std::u16string(300, u'x'), 0), std::nullopt);
}

}  // namespace
}  // namespace vx::platform::linux_backend
