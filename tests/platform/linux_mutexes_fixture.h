// A test fixture over the Linux named mutexes: a mutex name of this test
// process only, whose shared-memory object is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "base/text.h"
#include "platform/linux/linux_mutexes.h"
#include "platform/linux/shared_mutex_name.h"
#include "platform/platform.h"
#include "tests/platform/mutex_holder_process.h"

namespace vx::platform::linux_backend {

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

}  // namespace vx::platform::linux_backend
