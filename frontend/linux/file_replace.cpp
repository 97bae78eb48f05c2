#include "frontend/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vx::frontend {

namespace {

std::string Reason(int error) { return std::strerror(error); }

// Interrupts are held back while the temporary file exists.
class HeldInterrupts {
 public:
  HeldInterrupts() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
  }
  ~HeldInterrupts() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  HeldInterrupts(const HeldInterrupts&) = delete;
  HeldInterrupts& operator=(const HeldInterrupts&) = delete;

 private:
  sigset_t previous_;
};

// What is at the destination now: nothing, or a regular file the user may
// write (whose permissions the new file takes over). False with the reason
// otherwise.
bool CheckDestination(const std::string& path, bool& exists, struct stat& info, std::string& error) {
  exists = ::lstat(path.c_str(), &info) == 0;
  if (!exists) {
    if (errno == ENOENT) return true;
    error = Reason(errno);
    return false;
  }
  if (S_ISLNK(info.st_mode)) {
    error = "it is a symbolic link; name the file it points to";
  } else if (!S_ISREG(info.st_mode)) {
    error = "it is not a regular file";
  } else if ((info.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    error = "it is read-only";
  } else {
    return true;
  }
  return false;
}

// A new, empty file beside path with a name of its own; -1 with errno set
// when none can be made.
int CreateTemporary(const std::string& path, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path destination(path);
  // Room for the suffix within the longest file name.
  const std::string base = destination.filename().string().substr(0, 200);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        "." + base + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    temporary = (destination.parent_path() / name).string();
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::span<const std::uint8_t> content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The rename itself reaches the disk with its folder.
void SyncFolderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> content, std::string& error) {
  const HeldInterrupts held;
  bool exists = false;
  struct stat existing {};
  if (!CheckDestination(path, exists, existing, error)) return false;

  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
  if (fd < 0) {
    error = Reason(errno);
    return false;
  }
  bool written = WriteAll(fd, content);
  if (written && exists) {
    // Root replacing another user's file gives it back to that user.
    if (::geteuid() == 0) written = ::fchown(fd, existing.st_uid, existing.st_gid) == 0;
    written = written && ::fchmod(fd, existing.st_mode & 07777) == 0;
  }
  written = written && ::fsync(fd) == 0;
  int reason = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    reason = errno;
  }
  if (written && ::rename(temporary.c_str(), path.c_str()) == 0) {
    SyncFolderOf(path);
    return true;
  }
  if (written) reason = errno;
  ::unlink(temporary.c_str());
  error = Reason(reason);
  return false;
}

}  // namespace vx::frontend
