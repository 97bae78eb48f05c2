// Named mutexes through the Windows calls, shared with another process:
// time-outs while it holds one, abandonment when it or a thread of ours
// ends holding one, and the refusals.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "base/text.h"
#include "platform/win32/win32_mutexes.h"
#include "tests/platform/win32_mutex_holder_process.h"

namespace vx::platform::win32_backend {
namespace {

using test::MutexHolderProcess;

class Win32MutexesTest : public ::testing::Test {
 protected:
  ~Win32MutexesTest() override { mutexes_.Close(mutex_); }

  const std::u16string name_ = FromUtf8("[vx-test " + std::to_string(::GetCurrentProcessId()) + "]");
  Win32Mutexes mutexes_;
  MutexHandle mutex_ = MutexHandle::None;
};

TEST_F(Win32MutexesTest, WaitTimesOutWhileAnotherProcessHoldsIt) {
  EXPECT_EQ(mutexes_.Open(name_), MutexHandle::None);
  MutexHolderProcess holder(name_);  // creates the mutex
  ASSERT_EQ(holder.Answer(), 'H');
  mutex_ = mutexes_.Open(name_);
  ASSERT_NE(mutex_, MutexHandle::None);
  EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::TimedOut);
  EXPECT_EQ(mutexes_.Wait(mutex_, 30), WaitResult::TimedOut);
  EXPECT_FALSE(mutexes_.Release(mutex_));  // not the owner
  ASSERT_TRUE(holder.ReleaseAndExit());
  const MutexHandle created = mutexes_.Create(name_);  // the same mutex through a second handle
  ASSERT_NE(created, MutexHandle::None);
  EXPECT_EQ(mutexes_.Wait(created, 0), WaitResult::Signaled);
  EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled);  // recursive for its owner
  EXPECT_TRUE(mutexes_.Release(mutex_));
  EXPECT_TRUE(mutexes_.Release(created));
  EXPECT_FALSE(mutexes_.Release(created));
  EXPECT_TRUE(mutexes_.Close(created));
}

TEST_F(Win32MutexesTest, ProcessThatEndsHoldingItLeavesItAbandonedOnce) {
  mutex_ = mutexes_.Create(name_);
  {
    MutexHolderProcess holder(name_);
    ASSERT_EQ(holder.Answer(), 'H');
    holder.ExitHolding();
  }
  EXPECT_EQ(mutexes_.Wait(mutex_, 1000), WaitResult::Abandoned);
  EXPECT_TRUE(mutexes_.Release(mutex_));  // the waiter owned it
  MutexHolderProcess next(name_);
  EXPECT_EQ(next.Answer(), 'H');  // once only
  EXPECT_TRUE(next.ReleaseAndExit());
}

TEST_F(Win32MutexesTest, ThreadThatEndsHoldingItLeavesItAbandoned) {
  mutex_ = mutexes_.Create(name_);
  std::thread([&] { EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::Signaled); }).join();
  EXPECT_EQ(mutexes_.Wait(mutex_, 1000), WaitResult::Abandoned);
  std::thread([&] { EXPECT_EQ(mutexes_.Wait(mutex_, 0), WaitResult::TimedOut); }).join();  // this thread owns it
  EXPECT_TRUE(mutexes_.Release(mutex_));
}

TEST_F(Win32MutexesTest, RefusesEmptyNamesAndMissingHandles) {
  EXPECT_EQ(mutexes_.Create(u""), MutexHandle::None);
  EXPECT_EQ(mutexes_.Open(u""), MutexHandle::None);
  EXPECT_EQ(mutexes_.Create(name_ + std::u16string(1, u'\0') + u"x"), MutexHandle::None);
  EXPECT_EQ(mutexes_.Wait(MutexHandle::None, 0), WaitResult::Failed);
  EXPECT_FALSE(mutexes_.Release(MutexHandle::None));
  EXPECT_FALSE(mutexes_.Close(MutexHandle::None));
}

}  // namespace
}  // namespace vx::platform::win32_backend
