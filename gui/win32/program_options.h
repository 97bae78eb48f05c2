// The dialog program's command line. In normal use it has none: the
// settings are "Config.ini" beside the program. For demonstrations and tests
// it takes the command-line program's --config, --simulate[=STATE],
// --sim-image and --sim-flash.
#pragma once

#include <string>
#include <vector>

namespace vx::gui {

struct ProgramOptions {
  std::string configPath;  // empty: "Config.ini" beside the program
  bool simulate = false;
  std::string simState;    // empty: the emulated bridge keeps nothing between runs
  std::string simImage;    // the emulated flash's first content; empty: erased
  std::string simFlash;    // the emulated part's ID answers; empty: the default part
  bool help = false;
};

// Parses the arguments after the program name (UTF-8); false with a message
// in error when they are wrong.
bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& out, std::string& error);

// The text shown for --help and after a wrong command line.
const char* UsageText();

}  // namespace vx::gui
