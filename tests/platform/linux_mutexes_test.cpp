// Named mutexes shared between processes: time-outs against a holder in
// another process, abandonment when that process dies, recursion and
// ownership within this one.
#include <gtest/gtest.h>

#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

#include "base/text.h"
#include "platform/linux/linux_mutexes.h"
#include "platform/linux/shared_mutex_name.h"
#include "platform/platform.h"
#include "tests/platform/linux_mutexes_fixture.h"

namespace vx::platform::linux_backend {
namespace {

using testing::MutexHolderProcess;

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
