// The simulated machine as a platform backend: tests and the simulate mode
// create one SimPlatform and install its Apis(). Every area runs in memory on
// one virtual clock.
#pragma once

#include <memory>
#include <string_view>

#include "emulator/bridge_registry.h"
#include "emulator/virtual_clock.h"
#include "platform/ini_profile.h"
#include "platform/platform.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_files.h"
#include "platform/sim/sim_machine.h"
#include "platform/sim/sim_machine_areas.h"
#include "platform/sim/sim_mutexes.h"
#include "platform/sim/sim_scsi.h"
#include "platform/sim/sim_winusb.h"

namespace vx::platform::sim {

class SimPlatform {
 public:
  SimPlatform();
  ~SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  // The set of areas to install (platform::ScopedPlatform).
  Platform Apis();

  emu::VirtualClock& Clock() { return clock_; }
  SimClock& Sleeper() { return clockApi_; }
  // In-memory files; the profile reader reads them too.
  SimFiles& Files() { return files_; }
  SimMutexes& Mutexes() { return mutexes_; }

  // Emulated bridges by device path. The bridge answers SCSI pass-through on
  // diskPath and control requests on winusbPath; an empty path leaves that
  // side unattached. The caller keeps the bridge alive while attached.
  void AttachBridge(emu::Bridge& bridge, std::u16string_view diskPath, std::u16string_view winusbPath);
  emu::BridgeRegistry& Bridges() { return bridges_; }
  SimScsi& Scsi() { return scsi_; }
  SimWinUsb& WinUsb() { return winusb_; }

  // The machine's device tree, hubs, registry, disks and version, and the
  // bridges it holds (arranged with platform/sim/sim_machine_builder.h or
  // platform/sim/machine_devices.h), and the areas that serve them.
  SimMachine& Machine() { return machine_; }
  SimMachineAreas& MachineAreas() { return machineAreas_; }

 private:
  emu::VirtualClock clock_;
  SimClock clockApi_{clock_};
  SimFiles files_;
  IniProfile profile_{files_};
  SimMutexes mutexes_{clock_};
  emu::BridgeRegistry bridges_;
  SimScsi scsi_{bridges_};
  SimWinUsb winusb_{bridges_};
  SimMachine machine_;
  SimMachineAreas machineAreas_{machine_};
};

}  // namespace vx::platform::sim
