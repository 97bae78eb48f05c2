#include "cli/program_paths.h"

#include <filesystem>

#include "base/text.h"
#include "platform/native_platform.h"

namespace vx::cli {

namespace {

std::u16string FolderOf(const std::filesystem::path& file) {
  const std::u16string folder = file.parent_path().u16string();
  if (folder.empty()) return u"./";
  return folder.back() == u'/' || folder.back() == std::filesystem::path::preferred_separator ? folder
                                                                                              : folder + u'/';
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
  const std::u16string program = platform::ProgramFile();
  paths.exeDir = program.empty() ? u"./" : FolderOf(program);
  paths.settingsPath = paths.exeDir + u"Config.ini";
  return paths;
}

}  // namespace vx::cli
