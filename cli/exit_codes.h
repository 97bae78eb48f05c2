// The program's exit codes, one per class of outcome (documented in --help).
#pragma once

#include "app/updater_outcome.h"

namespace vx::cli {

enum ExitCode : int {
  kExitOk = 0,
  kExitFileError = 1,         // a file could not be read or written (backup, simulation state)
  kExitUsage = 2,             // the command line is wrong
  kExitSettings = 3,          // the settings file cannot be used
  kExitNoDevice = 4,          // no bridge found
  kExitDeviceRead = 5,        // the bridge's flash could not be read
  kExitFirmware = 6,          // the firmware file did not load
  kExitDeclined = 7,          // the update was not confirmed
  kExitGate = 8,              // the bridge's version or checksum does not match the settings
  kExitUpdateFailed = 9,      // a step of the update failed
  kExitInterrupted = 130,     // interrupted before an update started
};

// The exit code for the way the updater's run ended.
ExitCode ExitCodeFor(UpdaterOutcome outcome);

// The outcome an exit code stands for, as the JSON summary names it
// ("updated", "gate-refused", ...).
const char* ResultName(int exitCode);

}  // namespace vx::cli
