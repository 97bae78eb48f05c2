// The settings as the updater reads them. Returns the program's exit code.
#pragma once

#include "frontend/program_paths.h"

namespace vx::cli {

int RunConfigCommand(const frontend::ProgramPaths& paths);

}  // namespace vx::cli
