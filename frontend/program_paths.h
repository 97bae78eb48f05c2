// Where the program finds its settings: "Config.ini" in the program's own
// folder, or the file named with --config, whose folder then stands for the
// program's folder (the firmware file is looked for there).
#pragma once

#include <string>

namespace vx::frontend {

struct ProgramPaths {
  std::u16string exeDir;        // ends in a path separator
  std::u16string settingsPath;
  bool settingsNamed = false;   // given with --config
};

// configOption: the --config value, empty when not given.
ProgramPaths ResolveProgramPaths(const std::string& configOption);

}  // namespace vx::frontend
