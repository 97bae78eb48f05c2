#include "frontend/program_paths.h"

#include <filesystem>

#include "base/text.h"
#include "platform/native_platform.h"

namespace vx::frontend {

namespace {

// The folder of a file, ending in a separator (the system's own, unless the
// folder already ends in one); the current folder for a bare name.
std::u16string FolderOf(const std::filesystem::path& file) {
  constexpr char16_t kSeparator = std::filesystem::path::preferred_separator;
  const std::u16string folder = file.parent_path().u16string();
  if (folder.empty()) return std::u16string(u".") + kSeparator;
  return folder.back() == u'/' || folder.back() == kSeparator ? folder : folder + kSeparator;
}

}  // namespace

ProgramPaths ResolveProgramPaths(const std::string& configOption) {
  ProgramPaths paths;
  if (!configOption.empty()) {
    paths.settingsPath = FromUtf8(configOption);
    paths.exeDir = FolderOf(paths.settingsPath);
    paths.settingsNamed = true;
    return paths;
  }
  // When the program's own file cannot be told, the current folder stands in.
  paths.exeDir = FolderOf(platform::ProgramFile());
  paths.settingsPath = paths.exeDir + u"Config.ini";
  return paths;
}

}  // namespace vx::frontend
