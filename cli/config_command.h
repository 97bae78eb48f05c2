// The settings as the updater reads them. Returns the program's exit code.
#pragma once

#include "cli/program_paths.h"

namespace vx::cli {

int RunConfigCommand(const ProgramPaths& paths);

}  // namespace vx::cli
