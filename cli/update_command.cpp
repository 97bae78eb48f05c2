#include "cli/update_command.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/updater_dlg.h"
#include "base/text.h"
#include "cli/console_view.h"
#include "cli/device_table_scope.h"
#include "cli/exit_codes.h"
#include "cli/terminal.h"
#include "cli/update_summary.h"
#include "image/image_store.h"

namespace vx::cli {

namespace {

// How often a running update looks whether the terminal was resized.
constexpr std::chrono::milliseconds kResizeCheck(100);

// The console's message loop: the dialog's one-shot timers fire at once.
void RunTimers(CVX94C6FWUpdaterDlg& dialog, ConsoleView& view, InterruptGuard& guard) {
  unsigned timer = 0;
  while (view.NextTimer(timer)) {
    if (timer == IDT_AUTO_START) guard.Protect();  // from here on the bridge may be written
    dialog.OnTimer(timer);
    while (dialog.UpdateRunning()) {
      view.FollowResize();
      std::this_thread::sleep_for(kResizeCheck);
    }
    dialog.WaitForUpdate();
  }
}

void FillReport(const CVX94C6FWUpdaterDlg& dialog, ConsoleView& view, UpdateReport& report) {
  const std::optional<DeviceRecord>& device = dialog.CheckedDevice();
  report.bridge = device;
  // The checksum is known once the bridge's code has been read.
  if (device && !IsEmpty(device->diskPath) && dialog.Outcome() != UpdaterOutcome::DeviceReadFailed) {
    report.checksumBefore = dialog.m_devChecksum;
  }
  report.firmwareFile = ToUtf8(dialog.m_filePath);
  if (dialog.m_imageLoaded.load() == 1 && Images().codeLength != 0) report.firmwareChecksum = Images().codeChecksum;
  report.message = view.LastMessage();
}

// What the first bridge reports now; for the JSON line after an update.
std::optional<std::uint32_t> VersionNow() {
  const DeviceTableScope devices;
  if (!devices.Found()) return std::nullopt;
  return devices.Record(0).firmwareVersion;
}

}  // namespace

int RunUpdateCommand(const Options& options, const frontend::ProgramPaths& paths, InterruptGuard& guard,
                     UpdateReport& report) {
  if (!CanSearchForBridges()) return kExitNoDevice;
  std::FILE* out = options.json ? stderr : stdout;
  const int outFd = ::fileno(out);
  ConsoleView view(out, stdin,
                   ConsoleViewOptions{.answerYes = options.yes,
                                      .askOnTerminal = ::isatty(STDIN_FILENO) == 1,
                                      .liveProgress = CanRedrawLine(outFd),
                                      .columns = [outFd] { return TerminalColumns(outFd); }});
  view.PrintLine(frontend::SettingsFileText(paths));
  CVX94C6FWUpdaterDlg dialog(view);
  view.SetConfirmationDetails([&dialog, &options] { return UpdateSummary(dialog, options.simulate); });
  if (dialog.StartUp(paths.exeDir, paths.settingsPath)) RunTimers(dialog, view, guard);

  const UpdaterOutcome outcome = dialog.Outcome();
  if (outcome == UpdaterOutcome::GateRefused) std::fputs(GateDetails(dialog).c_str(), out);
  FillReport(dialog, view, report);
  if (options.json && (outcome == UpdaterOutcome::Updated || outcome == UpdaterOutcome::UpdateFailed)) {
    report.versionAfter = VersionNow();
  }
  return ExitCodeFor(outcome);
}

}  // namespace vx::cli
