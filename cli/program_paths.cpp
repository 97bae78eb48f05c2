#include "cli/program_paths.h"

#include <filesystem>
#include <system_error>

#include "base/text.h"

namespace vx::cli {

namespace {

std::string FolderOf(const std::filesystem::path& file) {
  const std::string folder = file.parent_path().string();
  if (folder.empty()) return "./";
  return folder.back() == '/' ? folder : folder + '/';
}

}  // namespace

ProgramPaths ResolveProgramPaths(const std::string& configOption) {
  ProgramPaths paths;
  if (!configOption.empty()) {
    paths.exeDir = FromNativePath(FolderOf(configOption));
    paths.settingsPath = FromNativePath(configOption);
    paths.settingsNamed = true;
    return paths;
  }
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  paths.exeDir = FromNativePath(error ? std::string("./") : FolderOf(program));
  paths.settingsPath = paths.exeDir + u"Config.ini";
  return paths;
}

}  // namespace vx::cli
