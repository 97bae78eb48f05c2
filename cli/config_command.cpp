#include "cli/config_command.h"

#include <cstdio>

#include "app/device_text.h"
#include "app/updater_dlg.h"
#include "base/text.h"
#include "cli/console_view.h"
#include "cli/exit_codes.h"

namespace vx::cli {

int RunConfigCommand(const frontend::ProgramPaths& paths) {
  std::printf("%s\n", frontend::SettingsFileText(paths).c_str());

  // The dialog's own reader; its view shows the firmware file.
  ConsoleView view(stdout, stdin, ConsoleViewOptions{});
  CVX94C6FWUpdaterDlg dialog(view);
  dialog.m_exeDir = paths.exeDir;
  if (!dialog.ReadConfig(paths.settingsPath)) {
    std::puts("Failed to get configuration information. (DevCount is above 3.)");
    return kExitSettings;
  }
  if (dialog.m_cmpLen == 0) {
    std::puts("Version gate: off (CMPLEN 0)");
  } else {
    std::printf("Version gate: the bridge's version, cut to CMPLEN %d characters, must equal CMPSTR \"%s\"\n",
                dialog.m_cmpLen, ToUtf8(dialog.m_cmpStr).c_str());
  }
  if (dialog.m_cfgChecksum == 0) {
    std::puts("Checksum gate: off (CHECKSUM 0)");
  } else {
    std::printf("Checksum gate: the code on the bridge must have checksum %s\n",
                ToUtf8(ChecksumText(dialog.m_cfgChecksum)).c_str());
  }
  return kExitOk;
}

}  // namespace vx::cli
