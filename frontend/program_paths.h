// Where the program finds its settings: the file named with --config;
// otherwise "Config.ini" in the program's own folder, as the updater always
// had it; otherwise "Config.ini" in the system's settings folder. The folder
// of the settings file used stands for the program's folder: the firmware
// file named in it is looked for there. With no settings file at all, every
// setting takes its default and the program's folder is used.
#pragma once

#include <string>
#include <vector>

namespace vx::frontend {

struct ProgramPaths {
  std::u16string exeDir;               // ends in a separator
  std::u16string settingsPath;         // with none found: the one beside the program
  std::vector<std::string> searched;   // the settings files looked for, in order
  bool settingsNamed = false;          // given with --config
  bool settingsFound = false;          // settingsPath is a file
};

// configOption: the --config value, empty when not given; programFolder and
// systemFolder end in a separator. An empty systemFolder is not searched.
ProgramPaths ResolveProgramPaths(const std::string& configOption, const std::string& programFolder,
                                 const std::string& systemFolder);

// False with a message in error when the settings file named with --config
// does not exist, or the one found cannot be read.
bool CheckSettingsFile(const ProgramPaths& paths, std::string& error);

// "Settings file: PATH", or which files were looked for when none was found.
std::string SettingsFileText(const ProgramPaths& paths);

// The folder of the running program, ending in a separator; the current
// folder when unknown.
std::string ProgramFolder();

// The system's settings folder, ending in a separator (set when the program
// is built).
std::string SystemSettingsFolder();

}  // namespace vx::frontend
