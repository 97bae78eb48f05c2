// How the updater's last run ended, for front ends that report a result of
// their own (the console program's exit code).
#pragma once

namespace vx {

enum class UpdaterOutcome {
  None,              // nothing has ended yet
  SettingsRefused,   // the settings file could not be used
  NoDevice,          // no bridge at start-up
  DeviceReadFailed,  // the bridge's content could not be read at start-up
  FileNotLoaded,     // the firmware file did not load, or no usable firmware is loaded
  Declined,          // the operator did not confirm the update
  GateRefused,       // the version or checksum of the bridge did not match
  Updating,          // an update thread is running
  UpdateFailed,      // a step of the update failed
  Updated,           // the update ended with success
};

}  // namespace vx
