// The updater's own flow: settings, device check, firmware file, the
// confirmation, the gates and the update; report gathers what --json shows.
// Returns the program's exit code.
#pragma once

#include "cli/interrupt_guard.h"
#include "cli/json_report.h"
#include "cli/options.h"
#include "frontend/program_paths.h"

namespace vx::cli {

int RunUpdateCommand(const Options& options, const frontend::ProgramPaths& paths, InterruptGuard& guard,
                     UpdateReport& report);

}  // namespace vx::cli
