#include "frontend/state_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "frontend/interrupted_file.h"

namespace vx::frontend {

namespace {

// Opens the file at path, creating it when missing; -1 with a message in
// error when it cannot be opened or is no regular file.
int OpenOrCreate(const std::string& path, bool& created, std::string& error) {
  created = false;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd >= 0) {
    created = true;
    return fd;
  }
  if (errno == EEXIST) fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat info {};
  const bool regular = fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  // Root could write a read-only file: it is refused before the run, not
  // when its result is to be saved.
  if (regular && (info.st_mode & 0222) != 0) return fd;
  const int reason = errno;
  if (fd >= 0) ::close(fd);
  error = "cannot use '" + path + "' as the state file: ";
  if (regular) {
    error += "it is read-only";
  } else {
    error += fd >= 0 || reason == ELOOP || reason == EISDIR ? "it is not a regular file" : std::strerror(reason);
  }
  return -1;
}

bool Lock(int fd, const std::string& path) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno != EWOULDBLOCK) return false;
  std::fprintf(stderr, "vx94c6-updater: '%s' is in use by another run; waiting for it to end.\n", path.c_str());
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// True when path still names the file open at fd: the run that held the lock
// before may have replaced the file or removed it.
bool StillAtPath(int fd, const std::string& path) {
  struct stat open {}, named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

}  // namespace

StateFileLock::~StateFileLock() { Close(); }

bool StateFileLock::Acquire(const std::string& path, std::string& error) {
  Close();
  path_ = path;
  for (;;) {
    fd_ = OpenOrCreate(path, created_, error);
    if (fd_ < 0) return false;
    if (!Lock(fd_, path)) {
      error = "cannot lock the state file '" + path + "': " + std::strerror(errno);
      created_ = false;  // the lock is not this run's
      Close();
      return false;
    }
    if (StillAtPath(fd_, path)) {
      // Only the holder of the lock may remove the file it created.
      if (created_) RemoveOnInterrupt(path_.c_str());
      return true;
    }
    ::close(fd_);  // what the run before this one left there is another file now, or none
    fd_ = -1;
  }
}

void StateFileLock::Keep() {
  created_ = false;
  RemoveOnInterrupt(nullptr);
}

void StateFileLock::Close() {
  if (fd_ < 0) return;
  if (created_ && StillAtPath(fd_, path_)) {
    RemoveOnInterrupt(nullptr);
    ::unlink(path_.c_str());
  }
  ::close(fd_);  // releases the lock
  fd_ = -1;
  created_ = false;
}

}  // namespace vx::frontend
