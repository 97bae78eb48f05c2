#include "platform/linux/shared_mutex_mapping.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx::platform::linux_backend {

struct SharedMutexBlock {
  std::uint32_t ready;  // kReady once the creator has initialised the mutex
  pthread_mutex_t mutex;
};

namespace {

constexpr std::uint32_t kReady = 0x56584D31;  // "VXM1": also marks this layout
// Where POSIX shared-memory objects live as files.
constexpr char kShmFolder[] = "/dev/shm";
// How often the name is tried again after another process changed it.
constexpr int kAttempts = 10;

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

SharedMutexBlock* Map(int fd) {
  void* memory = ::mmap(nullptr, sizeof(SharedMutexBlock), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  return memory == MAP_FAILED ? nullptr : static_cast<SharedMutexBlock*>(memory);
}

void Unmap(SharedMutexBlock* block) { ::munmap(block, sizeof(SharedMutexBlock)); }

// The block in the object open at fd when the object can be used: a regular
// file of this user that no one else may open, of the block's size, and
// ready. Null otherwise.
SharedMutexBlock* MapIfUsable(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
      (info.st_mode & 077) != 0 || static_cast<std::size_t>(info.st_size) != sizeof(SharedMutexBlock)) {
    return nullptr;
  }
  SharedMutexBlock* block = Map(fd);
  if (block != nullptr && std::atomic_ref<std::uint32_t>(block->ready).load(std::memory_order_acquire) != kReady) {
    Unmap(block);
    block = nullptr;
  }
  return block;
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Removes the unusable object open at fd from the name, unless the name
// stands for another object by now. The lock on the object lets only one of
// several processes that found it remove it; the others then see the name
// changed.
void RemoveUnusable(int folder, const std::string& name, int fd) {
  struct stat open {}, named {};
  if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &open) != 0) return;
  if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(open, named)) {
    ::unlinkat(folder, name.c_str(), 0);
  }
}

// Removes what the name stands for when it is a symbolic link: no object of
// this program is one, and none is ever followed.
void RemoveLink(int folder, const std::string& name) {
  struct stat named {};
  if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(named.st_mode)) {
    ::unlinkat(folder, name.c_str(), 0);
  }
}

// Creates the object complete and ready under a name of this process's own,
// then links it under its real name, so that no other process ever sees it
// half made. Null when it could not be made, with taken set when another
// process linked its object first.
SharedMutexBlock* CreateInPlace(int folder, const std::string& name, bool& taken) {
  static std::atomic<unsigned> counter{0};
  taken = false;
  const std::string own = name + ".new." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
  const int fd = ::openat(folder, own.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  SharedMutexBlock* block = nullptr;
  if (::fchmod(fd, 0600) == 0 && ::ftruncate(fd, sizeof(SharedMutexBlock)) == 0) block = Map(fd);
  ::close(fd);
  bool linked = false;
  if (block != nullptr && InitialiseMutex(&block->mutex)) {
    std::atomic_ref<std::uint32_t>(block->ready).store(kReady, std::memory_order_release);
    linked = ::linkat(folder, own.c_str(), folder, name.c_str(), 0) == 0;
    taken = !linked && errno == EEXIST;
  }
  ::unlinkat(folder, own.c_str(), 0);
  if (!linked && block != nullptr) {
    Unmap(block);
    block = nullptr;
  }
  return block;
}

// One try at the name: the block, or null with retry set when the name
// changed under this process and is worth another try.
SharedMutexBlock* TryAttach(int folder, const std::string& name, SharedMutexMapping::Mode mode, bool& retry) {
  retry = false;
  const bool mayCreate = mode == SharedMutexMapping::Mode::OpenOrCreate;
  const int fd = ::openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    SharedMutexBlock* block = MapIfUsable(fd);
    // An object whose creator died before it was ready, or one that is not
    // this user's alone, is replaced when the name may be created.
    if (block == nullptr && mayCreate) {
      RemoveUnusable(folder, name, fd);
      retry = true;
    }
    ::close(fd);
    return block;
  }
  if (errno == ELOOP && mayCreate) {
    RemoveLink(folder, name);
    retry = true;
  } else if (errno == ENOENT && mayCreate) {
    SharedMutexBlock* block = CreateInPlace(folder, name, retry);
    if (block != nullptr) return block;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<SharedMutexMapping> SharedMutexMapping::Attach(const std::string& objectName, Mode mode) {
  if (objectName.size() < 2 || objectName[0] != '/') return nullptr;
  const std::string name = objectName.substr(1);
  const int folder = ::open(kShmFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return nullptr;
  SharedMutexBlock* block = nullptr;
  bool retry = true;
  for (int attempt = 0; block == nullptr && retry && attempt < kAttempts; ++attempt) {
    block = TryAttach(folder, name, mode, retry);
  }
  ::close(folder);
  if (block == nullptr) return nullptr;
  return std::unique_ptr<SharedMutexMapping>(new SharedMutexMapping(block));
}

SharedMutexMapping::~SharedMutexMapping() { ::munmap(block_, sizeof(SharedMutexBlock)); }

pthread_mutex_t* SharedMutexMapping::Mutex() { return &block_->mutex; }

}  // namespace vx::platform::linux_backend
