// A backup of the first bridge's flash. Returns the program's exit code.
#pragma once

#include "cli/options.h"

namespace vx::cli {

int RunReadCommand(const Options& options);

}  // namespace vx::cli
