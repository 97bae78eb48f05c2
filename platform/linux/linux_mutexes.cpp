#include "platform/linux/linux_mutexes.h"

#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <unistd.h>

#include "platform/linux/shared_mutex_name.h"

namespace vx::platform::linux_backend {

namespace {

int Lock(pthread_mutex_t* mutex, std::uint32_t timeoutMs) {
  if (timeoutMs == 0) return ::pthread_mutex_trylock(mutex);
  if (timeoutMs == kWaitInfinite) return ::pthread_mutex_lock(mutex);
  timespec deadline{};
  ::clock_gettime(CLOCK_MONOTONIC, &deadline);
  deadline.tv_sec += static_cast<time_t>(timeoutMs / 1000);
  deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  return ::pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &deadline);
}

WaitResult ResultOf(int lockResult, pthread_mutex_t* mutex) {
  switch (lockResult) {
    case 0:
      return WaitResult::Signaled;
    case EOWNERDEAD:
      // This thread owns it now; mark it usable again for everyone.
      return ::pthread_mutex_consistent(mutex) == 0 ? WaitResult::Abandoned : WaitResult::Failed;
    case EBUSY:
    case ETIMEDOUT:
      return WaitResult::TimedOut;
    default:
      return WaitResult::Failed;
  }
}

}  // namespace

MutexHandle LinuxMutexes::Open(std::u16string_view name) {
  return Attach(name, SharedMutexMapping::Mode::OpenExisting);
}

MutexHandle LinuxMutexes::Create(std::u16string_view name) {
  return Attach(name, SharedMutexMapping::Mode::OpenOrCreate);
}

MutexHandle LinuxMutexes::Attach(std::u16string_view name, SharedMutexMapping::Mode mode) {
  const std::optional<std::string> objectName = SharedMutexObjectName(name, ::geteuid());
  if (!objectName) return MutexHandle::None;
  std::lock_guard guard(lock_);
  Object& object = objects_[*objectName];
  if (!object.mapping) object.mapping = SharedMutexMapping::Attach(*objectName, mode);
  if (!object.mapping) {
    objects_.erase(*objectName);
    return MutexHandle::None;
  }
  ++object.handles;
  const std::uintptr_t handle = nextHandle_++;
  handles_.emplace(handle, *objectName);
  return static_cast<MutexHandle>(handle);
}

LinuxMutexes::Object* LinuxMutexes::BeginWait(MutexHandle mutex) {
  std::lock_guard guard(lock_);
  const auto handle = handles_.find(static_cast<std::uintptr_t>(mutex));
  if (handle == handles_.end()) return nullptr;
  Object& object = objects_.at(handle->second);
  ++object.waiters;
  return &object;
}

void LinuxMutexes::EndWait(Object* object, bool acquired) {
  std::lock_guard guard(lock_);
  --object->waiters;
  if (acquired) ++object->holds;
}

WaitResult LinuxMutexes::Wait(MutexHandle mutex, std::uint32_t timeoutMs) {
  Object* object = BeginWait(mutex);
  if (object == nullptr) return WaitResult::Failed;
  pthread_mutex_t* shared = object->mapping->Mutex();
  const WaitResult result = ResultOf(Lock(shared, timeoutMs), shared);
  EndWait(object, result == WaitResult::Signaled || result == WaitResult::Abandoned);
  return result;
}

bool LinuxMutexes::Release(MutexHandle mutex) {
  std::lock_guard guard(lock_);
  const auto handle = handles_.find(static_cast<std::uintptr_t>(mutex));
  if (handle == handles_.end()) return false;
  Object& object = objects_.at(handle->second);
  // Fails with EPERM when the calling thread does not own the mutex.
  if (::pthread_mutex_unlock(object.mapping->Mutex()) != 0) return false;
  --object.holds;
  DropIfUnused(handle->second);
  return true;
}

bool LinuxMutexes::Close(MutexHandle mutex) {
  std::lock_guard guard(lock_);
  const auto handle = handles_.find(static_cast<std::uintptr_t>(mutex));
  if (handle == handles_.end()) return false;
  const std::string objectName = handle->second;
  handles_.erase(handle);
  --objects_.at(objectName).handles;
  DropIfUnused(objectName);
  return true;
}

void LinuxMutexes::DropIfUnused(const std::string& objectName) {
  const auto found = objects_.find(objectName);
  if (found == objects_.end()) return;
  const Object& object = found->second;
  if (object.handles == 0 && object.holds == 0 && object.waiters == 0) objects_.erase(found);
}

}  // namespace vx::platform::linux_backend
