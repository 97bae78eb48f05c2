// The program's commands; each returns the program's exit code.
#pragma once

#include "cli/interrupt_guard.h"
#include "cli/json_report.h"
#include "cli/options.h"
#include "cli/program_paths.h"

namespace vx::cli {

// The updater's own flow: settings, device check, firmware file, the
// confirmation, the gates and the update; report gathers what --json shows.
int RunUpdateCommand(const Options& options, const ProgramPaths& paths, InterruptGuard& guard,
                     UpdateReport& report);
// Every bridge found.
int RunListCommand(const Options& options);
// A backup of the first bridge's flash.
int RunReadCommand(const Options& options);
// The settings as the updater reads them.
int RunConfigCommand(const ProgramPaths& paths);

}  // namespace vx::cli
