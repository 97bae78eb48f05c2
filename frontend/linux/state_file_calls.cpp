#include "frontend/state_file_calls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vx::frontend::state_file {

namespace {

// Opens the file at path, creating it when missing; -1 with a message in
// error when it cannot be opened or is no writable regular file.
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

// The lock lives on the open file, so a second descriptor of it keeps the
// lock once fd is closed.
std::intptr_t Lock(int fd, const std::string& path, std::string& reason) {
  int locked = ::flock(fd, LOCK_EX | LOCK_NB);
  if (locked != 0 && errno == EWOULDBLOCK) {
    std::fprintf(stderr, "vx94c6-updater: '%s' is in use by another run; waiting for it to end.\n", path.c_str());
    while ((locked = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
  }
  const int hold = locked == 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
  if (hold < 0) reason = std::strerror(errno);
  return hold;
}

}  // namespace

int OpenLocked(const std::string& path, bool& created, std::intptr_t& hold, std::string& error) {
  for (;;) {
    const int fd = OpenOrCreate(path, created, error);
    if (fd < 0) return -1;
    std::string reason;
    hold = Lock(fd, path, reason);
    if (hold < 0) {
      error = "cannot lock the state file '" + path + "': " + reason;
      ::close(fd);
      return -1;
    }
    // The run that held the lock before may have replaced the file or
    // removed it: then the lock is taken again on what is there now.
    if (StillAtPath(fd, path)) return fd;
    Unlock(hold);
    ::close(fd);
  }
}

void Unlock(std::intptr_t hold) { ::close(static_cast<int>(hold)); }

bool StillAtPath(int fd, const std::string& path) {
  struct stat open {}, named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

void Close(int fd) { ::close(fd); }

void Remove(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace vx::frontend::state_file
