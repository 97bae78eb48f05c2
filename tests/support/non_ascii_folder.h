// A folder for tests whose name no single ANSI code page holds (Latin and
// Greek letters, which the dialog's font can also show), inside a scratch
// folder that is removed with it: files there are found only by programs
// that name them in UTF-16 or UTF-8, never through the ANSI code page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "tests/support/scratch_dir.h"

namespace vx::test {

class NonAsciiFolder {
 public:
  NonAsciiFolder() : path_(scratch_.Path() / L"Pr\u00FCfplatz \u03A9\u0394") {
    std::filesystem::create_directory(path_);
  }

  std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }
  // A name in the folder as the programs hold paths.
  std::string Utf8(const std::wstring& name) const { return ToUtf8((path_ / name).u16string()); }

  void Write(const std::wstring& name, std::string_view bytes) const {
    std::ofstream(path_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void Write(const std::wstring& name, const std::vector<std::uint8_t>& bytes) const {
    Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  std::vector<std::uint8_t> Read(const std::wstring& name) const {
    std::ifstream file(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

 private:
  ScratchDir scratch_;
  std::filesystem::path path_;
};

}  // namespace vx::test
