// The updater's own flow: settings, device check, firmware file, the
// confirmation, the gates and the update. Returns the program's exit code.
#pragma once

#include "cli/interrupt_guard.h"
#include "cli/options.h"
#include "cli/program_paths.h"

namespace vx::cli {

int RunUpdateCommand(const Options& options, const ProgramPaths& paths, InterruptGuard& guard);

}  // namespace vx::cli
