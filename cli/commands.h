// The program's commands; each returns the program's exit code.
#pragma once

#include "cli/interrupt_guard.h"
#include "cli/options.h"
#include "cli/program_paths.h"

namespace vx::cli {

// The updater's own flow: settings, device check, firmware file, the
// confirmation, the gates and the update.
int RunUpdateCommand(const Options& options, const ProgramPaths& paths, InterruptGuard& guard);
// Every bridge found.
int RunListCommand();
// A backup of the first bridge's flash.
int RunReadCommand(const Options& options);
// The settings as the updater reads them.
int RunConfigCommand(const ProgramPaths& paths);

}  // namespace vx::cli
