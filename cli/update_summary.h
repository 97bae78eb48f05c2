// What the update command shows before it asks for confirmation: the bridge,
// its version and checksum beside what the settings expect, the flash chip,
// the firmware file, and whether the bridge is emulated.
#pragma once

#include <string>

#include "app/updater_dlg.h"

namespace vx::cli {

// The whole summary, one line a field, after a device check and a load.
std::string UpdateSummary(const CVX94C6FWUpdaterDlg& dialog, bool simulated);

// The bridge's version and checksum beside the settings' CMPSTR and
// CHECKSUM, for a refusal by the gates.
std::string GateDetails(const CVX94C6FWUpdaterDlg& dialog);

}  // namespace vx::cli
