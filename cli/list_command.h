// Every bridge found, as text or, with --json, as JSON. Returns the program's
// exit code.
#pragma once

#include "cli/options.h"

namespace vx::cli {

int RunListCommand(const Options& options);

}  // namespace vx::cli
