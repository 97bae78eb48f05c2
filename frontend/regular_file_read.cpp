#include "frontend/regular_file_read.h"

#include <cerrno>
#include <cstring>

namespace vx::frontend {

bool ReadAtMost(int fd, std::size_t limit, const std::string& name, std::vector<std::uint8_t>& out,
                std::string& error) {
  // One byte more than the limit tells a file that is too long.
  out.assign(limit + 1, 0);
  std::size_t total = 0;
  while (total < out.size()) {
    const long long got = ReadAt(fd, out.data() + total, out.size() - total, total);
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

bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& out,
                     std::string& error) {
  const int fd = OpenRegularFile(path, error);
  if (fd < 0) return false;
  const bool read = ReadAtMost(fd, limit, path, out, error);
  CloseRegularFile(fd);
  return read;
}

}  // namespace vx::frontend
