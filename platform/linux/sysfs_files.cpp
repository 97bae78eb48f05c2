#include "platform/linux/sysfs_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace vx::platform::linux_backend {

namespace {

constexpr std::size_t kAttributeBytes = 4096;

bool IsBlank(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\r'; }

std::string Trimmed(std::string text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace

std::optional<std::string> ReadAttribute(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::string text(kAttributeBytes, '\0');
  std::size_t filled = 0;
  bool failed = false;
  while (filled < text.size()) {
    const ssize_t got = ::read(fd, text.data() + filled, text.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) failed = true;
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (failed) return std::nullopt;
  text.resize(filled);
  return Trimmed(std::move(text));
}

std::optional<std::uint32_t> ReadNumber(const std::string& path, int base) {
  const auto text = ReadAttribute(path);
  if (!text || text->empty() || text->front() == '-' || text->front() == '+') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text->c_str(), &end, base);
  if (errno != 0 || *end != '\0' || value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::vector<std::string> ListEntries(const std::string& directory) {
  std::vector<std::string> names;
  DIR* stream = ::opendir(directory.c_str());
  if (stream == nullptr) return names;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(stream);
  std::sort(names.begin(), names.end());
  return names;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace vx::platform::linux_backend
