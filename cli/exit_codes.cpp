#include "cli/exit_codes.h"

namespace vx::cli {

ExitCode ExitCodeFor(UpdaterOutcome outcome) {
  switch (outcome) {
    case UpdaterOutcome::Updated:
      return kExitOk;
    case UpdaterOutcome::SettingsRefused:
      return kExitSettings;
    case UpdaterOutcome::NoDevice:
      return kExitNoDevice;
    case UpdaterOutcome::DeviceReadFailed:
      return kExitDeviceRead;
    case UpdaterOutcome::FileNotLoaded:
      return kExitFirmware;
    case UpdaterOutcome::Declined:
      return kExitDeclined;
    case UpdaterOutcome::GateRefused:
      return kExitGate;
    case UpdaterOutcome::None:      // ended without an outcome: nothing was updated
    case UpdaterOutcome::Updating:  // cannot be seen once the update thread is joined
    case UpdaterOutcome::UpdateFailed:
      return kExitUpdateFailed;
  }
  return kExitUpdateFailed;
}

const char* ResultName(int exitCode) {
  switch (exitCode) {
    case kExitOk:
      return "updated";
    case kExitFileError:
      return "file-error";
    case kExitUsage:
      return "usage-error";
    case kExitSettings:
      return "settings-refused";
    case kExitNoDevice:
      return "no-bridge";
    case kExitDeviceRead:
      return "device-read-failed";
    case kExitFirmware:
      return "firmware-not-loaded";
    case kExitDeclined:
      return "not-confirmed";
    case kExitGate:
      return "gate-refused";
    case kExitInterrupted:
      return "interrupted";
    default:
      return "update-failed";
  }
}

}  // namespace vx::cli
