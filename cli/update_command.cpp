#include "cli/update_command.h"

#include <unistd.h>

#include <cstdio>

#include "app/updater_dlg.h"
#include "cli/console_view.h"
#include "cli/device_table_scope.h"
#include "cli/exit_codes.h"

namespace vx::cli {

int RunUpdateCommand(const Options& options, const ProgramPaths& paths, InterruptGuard& guard) {
  if (!CanSearchForBridges()) return kExitNoDevice;
  ConsoleView view(stdout, stdin,
                   ConsoleViewOptions{.answerYes = options.yes,
                                      .askOnTerminal = ::isatty(STDIN_FILENO) == 1,
                                      .liveProgress = ::isatty(STDOUT_FILENO) == 1});
  CVX94C6FWUpdaterDlg dialog(view);
  if (!dialog.StartUp(paths.exeDir, paths.settingsPath)) return ExitCodeFor(dialog.Outcome());

  // The console's message loop: the dialog's one-shot timers fire at once.
  unsigned timer = 0;
  while (view.NextTimer(timer)) {
    if (timer == IDT_AUTO_START) guard.Protect();  // from here on the bridge may be written
    dialog.OnTimer(timer);
    dialog.WaitForUpdate();
  }
  return ExitCodeFor(dialog.Outcome());
}

}  // namespace vx::cli
