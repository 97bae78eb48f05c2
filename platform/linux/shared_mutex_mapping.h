// A process-shared, robust, recursive pthread mutex living in a POSIX
// shared-memory object, mapped into this process. Another process that maps
// the same object shares the mutex; when an owner dies, the next locker is
// told so (EOWNERDEAD). The object stays in /dev/shm after every process has
// unmapped it, ready for the next user of the name.
#pragma once

#include <memory>
#include <pthread.h>
#include <string>

namespace vx::platform::linux_backend {

struct SharedMutexBlock;

class SharedMutexMapping {
 public:
  enum class Mode { OpenExisting, OpenOrCreate };

  // Maps the object of that name, creating and initialising it first when
  // mode allows and it does not exist yet. Null when it does not exist (and
  // may not be created), is not this user's, or is not initialised in time.
  static std::unique_ptr<SharedMutexMapping> Attach(const std::string& objectName, Mode mode);

  ~SharedMutexMapping();
  SharedMutexMapping(const SharedMutexMapping&) = delete;
  SharedMutexMapping& operator=(const SharedMutexMapping&) = delete;

  pthread_mutex_t* Mutex();

 private:
  explicit SharedMutexMapping(SharedMutexBlock* block) : block_(block) {}

  SharedMutexBlock* block_;
};

}  // namespace vx::platform::linux_backend
