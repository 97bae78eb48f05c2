#include "cli/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vx::cli {

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> content, std::string& error) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = std::strerror(written && closed ? errno : writeErrno);
  std::remove(temporary.c_str());
  return false;
}

}  // namespace vx::cli
