#include "frontend/file_replace.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/text.h"

namespace vx::frontend {

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> content, std::string& error) {
  // The UTF-16 form names the file on every system (Windows takes narrow
  // names in its own code page, not in UTF-8).
  const std::filesystem::path target(FromUtf8(path));
  std::filesystem::path temporary = target;
  temporary += ".part";
  errno = 0;
  std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
  file.close();
  std::error_code failure;
  if (file) {
    // Takes the place of an existing file on Windows too.
    std::filesystem::rename(temporary, target, failure);
    if (!failure) return true;
    error = failure.message();
  } else {
    error = errno != 0 ? std::strerror(errno) : "the write failed";
  }
  std::filesystem::remove(temporary, failure);
  return false;
}

}  // namespace vx::frontend
