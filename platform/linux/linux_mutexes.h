// Named mutexes on Linux, shared by every process of the same user: each
// name is a robust, recursive pthread mutex in POSIX shared memory. A wait
// can time out, and reports abandonment when the owner thread or process
// ended while holding it (the waiter then owns it). All handles of one name
// in this process share one mapping; it is unmapped when the last handle is
// closed, unless a thread of this process still owns the mutex (unmapping an
// owned robust mutex would corrupt the owner's robust list).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/linux/shared_mutex_mapping.h"
#include "platform/mutex_api.h"

namespace vx::platform::linux_backend {

class LinuxMutexes : public MutexApi {
 public:
  MutexHandle Open(std::u16string_view name) override;
  MutexHandle Create(std::u16string_view name) override;
  WaitResult Wait(MutexHandle mutex, std::uint32_t timeoutMs) override;
  bool Release(MutexHandle mutex) override;
  bool Close(MutexHandle mutex) override;

 private:
  struct Object {
    std::unique_ptr<SharedMutexMapping> mapping;
    int handles = 0;  // open handles in this process
    int holds = 0;    // acquisitions by threads of this process not yet released
    int waiters = 0;  // threads inside Wait
  };

  MutexHandle Attach(std::u16string_view name, SharedMutexMapping::Mode mode);
  // The object behind a handle, marked as in use by one more waiter.
  Object* BeginWait(MutexHandle mutex);
  void EndWait(Object* object, bool acquired);
  void DropIfUnused(const std::string& objectName);

  std::mutex lock_;  // guards everything below
  std::map<std::string, Object> objects_;
  std::map<std::uintptr_t, std::string> handles_;  // handle value -> object name
  std::uintptr_t nextHandle_ = 1;
};

}  // namespace vx::platform::linux_backend
