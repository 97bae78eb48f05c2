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

}  // namespace vx::cli
