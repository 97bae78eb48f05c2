#include "platform/linux/shared_mutex_mapping.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace vx::platform::linux_backend {

struct SharedMutexBlock {
  std::uint32_t ready;  // kReady once the creator has initialised the mutex
  pthread_mutex_t mutex;
};

namespace {

constexpr std::uint32_t kReady = 0x56584D31;  // "VXM1": also marks this layout
// How long an opener waits for a creator in another process to finish
// setting the object up, in steps of one millisecond.
constexpr int kSetupWaitSteps = 2000;

void PauseOneMillisecond() {
  timespec step{0, 1000000L};
  ::nanosleep(&step, nullptr);
}

bool InitialiseMutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attributes;
  if (::pthread_mutexattr_init(&attributes) != 0) return false;
  const bool ok = ::pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED) == 0 &&
                  ::pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST) == 0 &&
                  ::pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE) == 0 &&
                  ::pthread_mutex_init(mutex, &attributes) == 0;
  ::pthread_mutexattr_destroy(&attributes);
  return ok;
}

// Another process may have created the object without having sized it yet.
bool WaitForSize(int fd) {
  for (int step = 0; step < kSetupWaitSteps; ++step) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid()) return false;
    if (static_cast<std::size_t>(info.st_size) >= sizeof(SharedMutexBlock)) return true;
    PauseOneMillisecond();
  }
  return false;
}

bool WaitForReady(SharedMutexBlock* block) {
  std::atomic_ref<std::uint32_t> ready(block->ready);
  for (int step = 0; step < kSetupWaitSteps; ++step) {
    if (ready.load(std::memory_order_acquire) == kReady) return true;
    PauseOneMillisecond();
  }
  return false;
}

// Opens the object, creating it when allowed; created tells who made it.
int OpenObject(const std::string& objectName, SharedMutexMapping::Mode mode, bool& created) {
  created = false;
  if (mode == SharedMutexMapping::Mode::OpenExisting) return ::shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC, 0);
  // Between another process's create and our open the object may vanish
  // again (someone removed it); try a few times.
  for (int attempt = 0; attempt < 5; ++attempt) {
    int fd = ::shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      created = true;
      return fd;
    }
    if (errno != EEXIST) return -1;
    fd = ::shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd >= 0 || errno != ENOENT) return fd;
  }
  return -1;
}

}  // namespace

std::unique_ptr<SharedMutexMapping> SharedMutexMapping::Attach(const std::string& objectName, Mode mode) {
  bool created = false;
  const int fd = OpenObject(objectName, mode, created);
  if (fd < 0) return nullptr;
  const bool sized = created ? ::ftruncate(fd, sizeof(SharedMutexBlock)) == 0 : WaitForSize(fd);
  void* memory = sized ? ::mmap(nullptr, sizeof(SharedMutexBlock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0)
                       : MAP_FAILED;
  ::close(fd);
  if (memory == MAP_FAILED) {
    if (created) ::shm_unlink(objectName.c_str());
    return nullptr;
  }
  auto* block = static_cast<SharedMutexBlock*>(memory);
  bool ready = false;
  if (created) {
    ready = InitialiseMutex(&block->mutex);
    if (ready) std::atomic_ref<std::uint32_t>(block->ready).store(kReady, std::memory_order_release);
    else ::shm_unlink(objectName.c_str());
  } else {
    ready = WaitForReady(block);
  }
  if (!ready) {
    ::munmap(memory, sizeof(SharedMutexBlock));
    return nullptr;
  }
  return std::unique_ptr<SharedMutexMapping>(new SharedMutexMapping(block));
}

SharedMutexMapping::~SharedMutexMapping() { ::munmap(block_, sizeof(SharedMutexBlock)); }

pthread_mutex_t* SharedMutexMapping::Mutex() { return &block_->mutex; }

}  // namespace vx::platform::linux_backend
