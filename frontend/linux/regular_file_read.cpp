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

long long ReadAt(int fd, std::uint8_t* data, std::size_t size, std::uint64_t offset) {
  for (;;) {
    const ssize_t got = ::pread(fd, data, size, static_cast<off_t>(offset));
    if (got >= 0 || errno != EINTR) return got;
  }
}

void CloseRegularFile(int fd) { ::close(fd); }

}  // namespace vx::frontend
