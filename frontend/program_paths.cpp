#include "frontend/program_paths.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/text.h"
#include "frontend/file_path.h"
#include "platform/native_platform.h"

#ifndef VX_SETTINGS_DIR
#define VX_SETTINGS_DIR "/etc/vx94c6-updater"
#endif

namespace vx::frontend {

namespace {

// The folder of a file, ending in a separator: the system's own, unless the
// folder already ends in '/'.
std::string FolderOf(const std::string& file) {
  constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
  const std::string folder = PathText(FilePath(file).parent_path());
  if (folder.empty()) return std::string(".") + kSeparator;
  return folder.back() == '/' || folder.back() == kSeparator ? folder : folder + kSeparator;
}

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(FilePath(path), error);
}

}  // namespace

ProgramPaths ResolveProgramPaths(const std::string& configOption, const std::string& programFolder,
                                 const std::string& systemFolder) {
  ProgramPaths paths;
  if (!configOption.empty()) {
    paths.exeDir = FromNativePath(FolderOf(configOption));
    paths.settingsPath = FromNativePath(configOption);
    paths.searched = {configOption};
    paths.settingsNamed = true;
    paths.settingsFound = IsFile(configOption);
    return paths;
  }
  paths.searched = {programFolder + "Config.ini"};
  if (!systemFolder.empty()) paths.searched.push_back(systemFolder + "Config.ini");
  const std::string* found = nullptr;
  for (const std::string& candidate : paths.searched) {
    if (found == nullptr && IsFile(candidate)) found = &candidate;
  }
  paths.settingsFound = found != nullptr;
  paths.settingsPath = FromNativePath(found != nullptr ? *found : paths.searched.front());
  paths.exeDir = FromNativePath(found != nullptr ? FolderOf(*found) : programFolder);
  return paths;
}

bool CheckSettingsFile(const ProgramPaths& paths, std::string& error) {
  const std::string path = ToNativePath(paths.settingsPath);
  if (paths.settingsNamed && !paths.settingsFound) {
    error = "the settings file '" + path + "' does not exist";
  } else if (paths.settingsFound && !std::ifstream(FilePath(path))) {
    error = "the settings file '" + path + "' cannot be read: " + std::strerror(errno);
  }
  return error.empty();
}

std::string SettingsFileText(const ProgramPaths& paths) {
  if (paths.settingsFound) return "Settings file: " + ToNativePath(paths.settingsPath);
  std::string searched;
  for (const std::string& path : paths.searched) searched += (searched.empty() ? "" : ", then ") + path;
  return "Settings file: none found (looked for " + searched + "); every setting takes its default";
}

std::string ProgramFolder() { return FolderOf(ToNativePath(platform::ProgramFile())); }

std::string SystemSettingsFolder() {
  const std::string folder = VX_SETTINGS_DIR;
  return folder.ends_with('/') ? folder : folder + '/';
}

}  // namespace vx::frontend
