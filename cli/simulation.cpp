#include "cli/simulation.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <vector>

#include "cli/file_replace.h"
#include "emulator/flash_state.h"
#include "platform/sim/sim_machine_builder.h"

namespace vx::cli {

namespace {

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read '" + path + "': " + std::strerror(errno);
    return false;
  }
  out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    error = "cannot read '" + path + "'";
    return false;
  }
  return true;
}

}  // namespace

bool Simulation::Start(const Options& options, const emu::FlashPart& part, std::string& error) {
  emu::ChipInfoValues chipInfo;
  chipInfo.firmwareVersion = kSimFirmwareVersion;
  platform::sim::SimMachineBuilder machine(sim_);
  bridge_ = machine
                .AddBridge(platform::sim::SimBridgeSetup().Part(part).ChipInfo(chipInfo).DriveLetters("E").FactoryFlash())
                .bridge;
  bridge_->Trace().Keep(0);  // the program never looks at the bridge's own record
  emu::SpiFlash& flash = *bridge_->Flash();

  statePath_ = options.simState;
  std::error_code missing;
  if (!statePath_.empty() && std::filesystem::exists(statePath_, missing)) {
    std::vector<std::uint8_t> state;
    if (!ReadWholeFile(statePath_, state, error)) return false;
    std::string reason;
    if (emu::LoadFlashState(state, flash, reason)) return true;
    error = "the state file '" + statePath_ + "' cannot be used: " + reason;
    return false;
  }
  if (!options.simImage.empty()) {
    std::vector<std::uint8_t> image;
    if (!ReadWholeFile(options.simImage, image, error)) return false;
    if (image.size() > flash.Array().size()) {
      error = "the image '" + options.simImage + "' (" + std::to_string(image.size()) +
              " bytes) is larger than the emulated flash (" + std::to_string(flash.Array().size()) + " bytes)";
      return false;
    }
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
  std::string reason;
  if (ReplaceFile(statePath_, emu::SaveFlashState(*bridge_->Flash()), reason)) return true;
  error = "cannot write '" + statePath_ + "': " + reason;
  return false;
}

}  // namespace vx::cli
