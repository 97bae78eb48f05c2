#include "frontend/file_path.h"

#include "base/text.h"
#include "platform/win32/win32_text.h"

namespace vx::frontend {

// The wide form is the file's own name.
std::filesystem::path FilePath(const std::string& path) {
  return std::filesystem::path(platform::win32_backend::Wide(FromNativePath(path)));
}

std::string PathText(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return ToNativePath(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));  // ASCII
  return ::_wfopen(FilePath(path).c_str(), wideMode.c_str());
}

}  // namespace vx::frontend
