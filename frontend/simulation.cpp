#include "frontend/simulation.h"

#include <algorithm>
#include <span>
#include <vector>

#include "emulator/flash_state.h"
#include "frontend/file_replace.h"
#include "frontend/regular_file_read.h"
#include "platform/sim/sim_machine_builder.h"

namespace vx::frontend {

bool Simulation::Start(const SimulationFiles& files, const emu::FlashPart& part, std::string& error) {
  emu::ChipInfoValues chipInfo;
  chipInfo.firmwareVersion = kSimFirmwareVersion;
  platform::sim::SimMachineBuilder machine(sim_);
  bridge_ = machine
                .AddBridge(platform::sim::SimBridgeSetup().Part(part).ChipInfo(chipInfo).DriveLetters("E").FactoryFlash())
                .bridge;
  bridge_->Trace().Keep(0);  // the program never looks at the bridge's own record
  emu::SpiFlash& flash = *bridge_->Flash();
  const std::size_t capacity = flash.Array().size();

  statePath_ = files.statePath;
  if (!statePath_.empty()) {
    if (!stateLock_.Acquire(statePath_, error)) return false;
    std::vector<std::uint8_t> state;
    if (!ReadAtMost(stateLock_.Descriptor(), capacity + emu::kFlashStateTrailerSize, statePath_, state, error)) {
      return false;
    }
    if (!state.empty()) {  // an empty state file is a bridge seen for the first time
      std::string reason;
      if (emu::LoadFlashState(state, flash, reason)) return true;
      error = "the state file '" + statePath_ + "' cannot be used: " + reason;
      return false;
    }
  }
  if (!files.imagePath.empty()) {
    std::vector<std::uint8_t> image;
    if (!ReadRegularFile(files.imagePath, capacity, image, error)) return false;
    std::ranges::copy(image, flash.Array().begin());
  }
  return true;
}

platform::Platform Simulation::Apis(const platform::Platform& real) {
  platform::Platform apis = sim_.Apis();
  apis.files = real.files;
  apis.profile = real.profile;
  return apis;
}

bool Simulation::Save(std::string& error) {
  if (statePath_.empty()) return true;
  stateLock_.Keep();
  std::string reason;
  if (ReplaceFile(statePath_, emu::SaveFlashState(*bridge_->Flash()), reason)) return true;
  error = "cannot write '" + statePath_ + "': " + reason;
  return false;
}

}  // namespace vx::frontend
