// A machine's sysfs, /dev and /proc, built in a temporary folder from a
// listing, so that the Linux backend is tested without devices. The format
// is described at the top of tests/support/linux_machine.txt, the machine
// most tests use.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/linux/system_paths.h"

namespace vx::testing {

inline std::string LinuxMachineListing() { return VX_SOURCE_DIR "/tests/support/linux_machine.txt"; }

class FakeSystemTree {
 public:
  // In memory where the system offers it: a few hundred small files are made
  // and removed for every test.
  FakeSystemTree() {
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/vx_system_XXXXXX" : "/tmp/vx_system_XXXXXX";
    const char* made = ::mkdtemp(pattern.data());
    if (made == nullptr) ADD_FAILURE() << "no temporary folder";
    root_ = made != nullptr ? made : "/nonexistent";
  }
  explicit FakeSystemTree(const std::string& listingFile) : FakeSystemTree() {
    std::ifstream file(listingFile);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_FALSE(text.str().empty()) << listingFile;
    Apply(text.str());
  }
  ~FakeSystemTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  FakeSystemTree(const FakeSystemTree&) = delete;
  FakeSystemTree& operator=(const FakeSystemTree&) = delete;

  platform::linux_backend::SystemPaths Paths() const { return {root_ + "/sys", root_ + "/dev", root_ + "/proc"}; }
  std::string Path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

  // Adds (or replaces) the entries of a listing.
  void Apply(std::string_view listing) {
    std::string folder;
    std::istringstream lines{std::string(listing)};
    std::string line;
    while (std::getline(lines, line)) {
      if (line.empty() || line.front() == '#') continue;
      if (line.front() == '[' && line.back() == ']') {
        folder = line.substr(1, line.size() - 2) + "/";
        continue;
      }
      Entry(folder, line);
    }
  }

  void Remove(std::string_view relative) { std::filesystem::remove_all(Path(relative)); }

  void Write(std::string_view relative, const std::string& content) {
    const std::filesystem::path path = Path(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  }

 private:
  void Entry(const std::string& folder, const std::string& line) {
    if (const auto arrow = line.find(" -> "); arrow != std::string::npos) {
      const std::filesystem::path link = Path(folder + line.substr(0, arrow));
      std::filesystem::create_directories(link.parent_path());
      std::filesystem::remove(link);
      std::filesystem::create_symlink(line.substr(arrow + 4), link);
    } else if (const auto equals = line.find(" ="); equals != std::string::npos) {
      const std::string value = equals + 3 <= line.size() ? line.substr(equals + 3) : std::string();
      Write(folder + line.substr(0, equals), value + "\n");
    } else if (line.back() == '/') {
      std::filesystem::create_directories(Path(folder + line));
    } else {
      ADD_FAILURE() << "listing line not understood: " << line;
    }
  }

  std::string root_;
};

// The descriptors this process has open, directory streams included.
inline std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

}  // namespace vx::testing
