// A fresh folder under the system's temporary folder for tests that need
// real files, removed with everything in it at the end. Works the same on
// Linux and Windows.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace vx::test {

class ScratchDir {
 public:
  ScratchDir() {
    std::random_device random;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path();
    do path_ = temporary / ("vx-test-" + std::to_string(random()));
    while (!std::filesystem::create_directory(path_));
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // A name in the folder, as the platform layer takes paths.
  std::u16string PathOf(const std::string& name) const { return (path_ / name).u16string(); }
  // Writes a file of these bytes and returns its path.
  std::u16string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return PathOf(name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace vx::test
