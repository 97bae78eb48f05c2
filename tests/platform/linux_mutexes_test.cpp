// Named mutexes shared between processes: time-outs against a holder in
// another process, abandonment when that process dies, recursion and
// ownership within this one.
#include <gtest/gtest.h>

#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

#include "platform/linux/linux_mutexes.h"
#include "platform/linux/shared_mutex_name.h"
#include "tests/platform/mutex_holder_process.h"

namespace vx::platform::linux_backend {
namespace {

// A mutex name of this test process only; its shared-memory object is
// removed afterwards.
class LinuxMutexesTest : public ::testing::Test {
 protected:
  ~LinuxMutexesTest() override {
    for (const std::u16string& name : names_) ::shm_unlink(SharedMutexObjectName(name, ::geteuid())->c_str());
  }

  std::u16string UniqueName(const char* what) {
    const std::string text = std::string("[vx-test ") + what + " " + std::to_string(::getpid()) + "]";
    names_.emplace_back(text.begin(), text.end());
    return names_.back();
  }

  LinuxMutexes mutexes_;
  std::vector<std::u16string> names_;
};

TEST_F(LinuxMutexesTest, OpenFindsOnlyExistingMutexes) {
  const std::u16string name = UniqueName("open");
  EXPECT_EQ(mutexes_.Open(name), MutexHandle::None);
  const MutexHandle created = mutexes_.Create(name);
  ASSERT_NE(created, MutexHandle::None);
  const MutexHandle opened = mutexes_.Open(name);
  ASSERT_NE(opened, MutexHandle::None);
  // Both handles reach the same mutex.
  EXPECT_EQ(mutexes_.Wait(created, 0), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(opened));
  EXPECT_TRUE(mutexes_.Close(created));
  EXPECT_TRUE(mutexes_.Close(opened));
  EXPECT_FALSE(mutexes_.Close(opened));
  EXPECT_EQ(mutexes_.Wait(opened, 0), WaitResult::Failed);
  EXPECT_EQ(mutexes_.Create(u""), MutexHandle::None);
}

TEST_F(LinuxMutexesTest, RecursiveForItsOwnerThreadOnly) {
  const MutexHandle mutex = mutexes_.Create(UniqueName("recursive"));
  ASSERT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  ASSERT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  std::thread([&] {
    EXPECT_EQ(mutexes_.Wait(mutex, 20), WaitResult::TimedOut);
    EXPECT_FALSE(mutexes_.Release(mutex));  // not the owner
  }).join();
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_FALSE(mutexes_.Release(mutex));
  std::thread([&] {
    EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
    EXPECT_TRUE(mutexes_.Release(mutex));
  }).join();
  mutexes_.Close(mutex);
}

TEST_F(LinuxMutexesTest, WaitTimesOutWhileAnotherProcessHoldsIt) {
  const std::u16string name = UniqueName("held");
  const MutexHandle mutex = mutexes_.Create(name);
  testing::MutexHolderProcess holder(name);
  ASSERT_TRUE(holder.Held());
  EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::TimedOut);
  EXPECT_EQ(mutexes_.Wait(mutex, 30), WaitResult::TimedOut);
  EXPECT_FALSE(mutexes_.Release(mutex));
  ASSERT_TRUE(holder.ReleaseAndExit());
  EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(mutex));
  mutexes_.Close(mutex);
}

TEST_F(LinuxMutexesTest, HolderThatDiesLeavesItAbandonedToTheNextWaiter) {
  const std::u16string name = UniqueName("abandoned");
  const MutexHandle mutex = mutexes_.Create(name);
  testing::MutexHolderProcess holder(name);
  ASSERT_TRUE(holder.Held());
  holder.Kill();
  EXPECT_EQ(mutexes_.Wait(mutex, 1000), WaitResult::Abandoned);
  // The waiter owns it now and can give it back; afterwards it is normal again.
  EXPECT_TRUE(mutexes_.Release(mutex));
  EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(mutex));
  mutexes_.Close(mutex);
}

TEST_F(LinuxMutexesTest, MutexCreatedByAnotherProcessCanBeOpened) {
  const std::u16string name = UniqueName("foreign");
  testing::MutexHolderProcess holder(name);
  ASSERT_TRUE(holder.Held());
  const MutexHandle mutex = mutexes_.Open(name);
  ASSERT_NE(mutex, MutexHandle::None);
  EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::TimedOut);
  ASSERT_TRUE(holder.ReleaseAndExit());
  EXPECT_EQ(mutexes_.Wait(mutex, 0), WaitResult::Signaled);
  EXPECT_TRUE(mutexes_.Release(mutex));
  mutexes_.Close(mutex);
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
