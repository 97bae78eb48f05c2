#include "frontend/regular_file_read.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "frontend/file_path.h"

namespace vx::frontend {

int OpenRegularFile(const std::string& path, std::string& error) {
  const std::filesystem::path name = FilePath(path);
  const int fd = ::_wopen(name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    // A folder cannot be opened at all here.
    const int reason = errno;
    std::error_code ignored;
    const bool folder = std::filesystem::is_directory(name, ignored);
    error = "cannot read '" + path + "': " + (folder ? "it is not a regular file" : std::strerror(reason));
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

long long ReadAt(int fd, std::uint8_t* data, std::size_t size, std::uint64_t offset) {
  if (::_lseeki64(fd, static_cast<long long>(offset), SEEK_SET) < 0) return -1;
  return ::_read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

void CloseRegularFile(int fd) { ::_close(fd); }

}  // namespace vx::frontend
