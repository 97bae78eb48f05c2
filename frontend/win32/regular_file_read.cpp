#include "frontend/regular_file_read.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "frontend/file_path.h"

namespace vx::frontend {

int OpenRegularFile(const std::string& path, std::string& error) {
  const int fd = ::_wopen(FilePath(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    error = "cannot read '" + path + "': " + std::strerror(errno);
    return -1;
  }
  struct _stat64 info {};
  if (::_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    ::_close(fd);
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
  if (::_lseeki64(fd, 0, SEEK_SET) != 0) {
    error = "cannot read '" + name + "': " + std::strerror(errno);
    return false;
  }
  while (total < out.size()) {
    const int got = ::_read(fd, out.data() + total, static_cast<unsigned>(out.size() - total));
    if (got < 0) {
      error = "cannot read '" + name + "': " + std::strerror(errno);
      return false;
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  if (total > limit) {
    error = "'" + name + "' holds more than the " + std::to_string(limit) + " bytes of the emulated flash";
    return false;
  }
  out.resize(total);
  return true;
}

}  // namespace vx::frontend
