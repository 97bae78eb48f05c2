// A process-shared, robust, recursive pthread mutex living in a POSIX
// shared-memory object, mapped into this process. Another process that maps
// the same object shares the mutex; when an owner dies, the next locker is
// told so (EOWNERDEAD). The object stays in /dev/shm after every process has
// unmapped it, ready for the next user of the name.
//
// An object appears under its name only complete and ready: it is made under
// a name of the creating process's own and then linked into place. Only an
// object of this user that no one else may open is used; anything else under
// the name (an object whose creator died while making it, one another user
// planted, a symbolic link) is removed and replaced where the system allows,
// and otherwise the mutex cannot be had.
#pragma once

#include <memory>
#include <pthread.h>
#include <string>

namespace vx::platform::linux_backend {

struct SharedMutexBlock;

class SharedMutexMapping {
 public:
  enum class Mode { OpenExisting, OpenOrCreate };

  // Maps the object of that name, creating it first when mode allows and it
  // does not exist yet or cannot be used. Null when it does not exist or
  // cannot be used (and may not be created), or cannot be replaced.
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
