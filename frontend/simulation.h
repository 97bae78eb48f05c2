// --simulate: the program runs on a simulated machine with one emulated
// bridge. Its flash content and status register can be kept in a state file
// (emulator/flash_state.h), so that successive runs see the same bridge; the
// settings and firmware files are the real ones.
#pragma once

#include <cstdint>
#include <string>

#include "emulator/bridge.h"
#include "emulator/flash_part.h"
#include "frontend/state_file_lock.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"

namespace vx::frontend {

// The firmware version the emulated bridge reports.
inline constexpr std::uint32_t kSimFirmwareVersion = 0x01000005;

// The files of a simulation (--simulate=STATE, --sim-image).
struct SimulationFiles {
  std::string statePath;  // empty: the emulated bridge keeps nothing between runs
  std::string imagePath;  // the emulated flash's first content; empty: erased
};

class Simulation {
 public:
  // Builds the machine with its bridge carrying part; its flash holds the
  // state file's content, or on first use the image file's, or is erased.
  // The state file stays locked until the simulation ends. False with a
  // message in error when a file cannot be used.
  bool Start(const SimulationFiles& files, const emu::FlashPart& part, std::string& error);
  // The areas to install: files and settings from real, everything else
  // from the simulated machine.
  platform::Platform Apis(const platform::Platform& real);
  // Writes the flash content and status to the state file, when there is one.
  bool Save(std::string& error);

 private:
  platform::sim::SimPlatform sim_;
  emu::Bridge* bridge_ = nullptr;
  std::string statePath_;
  StateFileLock stateLock_;
};

}  // namespace vx::frontend
