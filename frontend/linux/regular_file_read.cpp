#include "frontend/regular_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vx::frontend {

int OpenRegularFile(const std::string& path, std::string& error) {
  // Non-blocking, so that opening a FIFO cannot wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot read '" + path + "': " + std::strerror(errno);
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    error = "cannot read '" + path + "': it is not a regular file";
    return -1;
  }
  return fd;
}

bool ReadAtMost(int fd, std::size_t limit, const std::string& name, std::vector<std::uint8_t>& out,
                std::string& error) {
  // One byte more than the limit tells a file that is too long.
  out.assign(limit + 1, 0);
  std::size_t total = 0;
  while (total < out.size()) {
    const ssize_t n = ::pread(fd, out.data() + total, out.size() - total, static_cast<off_t>(total));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = "cannot read '" + name + "': " + std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    total += static_cast<std::size_t>(n);
  }
  if (total > limit) {
    error = "'" + name + "' holds more than the " + std::to_string(limit) + " bytes of the emulated flash";
    return false;
  }
  out.resize(total);
  return true;
}

}  // namespace vx::frontend
