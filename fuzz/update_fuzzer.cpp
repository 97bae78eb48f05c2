// Whole updates of an emulated bridge under a fuzzed schedule of faults:
// whatever fails, the bridge ends holding its old firmware or the new one,
// or a failure is reported. "Success!!" with anything else in the flash, or
// anything written after a refusal or a failed start-up, is a finding.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "app/update_images.h"
#include "app/updater_dlg.h"
#include "emulator/bridge_faults.h"
#include "emulator/flash_catalogue.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/quiet_view.h"
#include "image/image_store.h"
#include "platform/platform.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using vx::emu::Fault;

Bytes Pattern(std::size_t length, std::uint8_t seed) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
  return bytes;
}

const Bytes kOldConfig = Pattern(vx::ConfigImageSize, 0x11);
const Bytes kOldCode = Pattern(vx::CodeAreaSize, 0x22);
const Bytes kNewConfig = Pattern(vx::ConfigImageSize, 0x44);
const Bytes kNewCode = Pattern(6000, 0x55);
const Bytes kNewDisk = Pattern(5000, 0x66);

Bytes Eep() {
  Bytes file(kNewConfig);
  file.resize(vx::EepHeaderSize, 0);
  const auto length = static_cast<std::uint32_t>(kNewCode.size());
  const std::uint16_t checksum = vx::CodeChecksum(kNewCode.data(), length);
  for (int i = 0; i < 4; ++i) file[524 + i] = static_cast<std::uint8_t>(length >> (8 * i));
  file[528] = static_cast<std::uint8_t>(checksum);
  file[529] = static_cast<std::uint8_t>(checksum >> 8);
  file.insert(file.end(), kNewCode.begin(), kNewCode.end());
  file.resize(vx::DiskImageFileOffset, 0xFF);
  file.insert(file.end(), kNewDisk.begin(), kNewDisk.end());
  return file;
}

// Flash parts of three kinds: 256-byte pages with the size in their ID,
// 32-byte pages, and a part whose ID tells no size.
const char* const kParts[] = {"EF 30 13", "C2 22 11", "BF 49 (0x90 only)"};

constexpr std::array<std::uint8_t, 5> kScsiOpcodes = {0xD0, 0xE5, 0xE6, 0xE7, 0xE8};
constexpr std::array<std::uint8_t, 10> kSpiOpcodes = {0x06, 0x04, 0x05, 0x01, 0x02, 0x03, 0x60, 0xC7, 0x9F, 0x90};
// A write acknowledged but not carried out is a fault of commands that write;
// a read answered so would hand over data no host can tell from the flash's.
constexpr std::array<std::uint8_t, 2> kScsiWrites = {0xE6, 0xE7};
constexpr std::array<std::uint8_t, 6> kSpiWrites = {0x06, 0x04, 0x01, 0x02, 0x60, 0xC7};

Fault FaultOf(std::uint8_t kind, std::uint8_t value) {
  switch (kind % 6) {
    case 0: return Fault::CallFails();
    case 1: return Fault::Status(value);
    case 2: return Fault::ShortData(value);
    case 3: return Fault::IgnoreWrite();
    case 4: return Fault::Vanish();
    default: return Fault::StickBusy();
  }
}

// Each rule takes five bytes: the fault, what it matches, two values and
// how many times it strikes.
void AddFaults(vx::fuzz::FuzzInput& input, vx::emu::FaultPlan& plan) {
  for (int rule = 0; rule < 8 && !input.Empty(); ++rule) {
    const std::uint8_t kind = input.Byte();
    const std::uint8_t matcher = input.Byte();
    const std::uint8_t low = input.Byte();
    const std::uint8_t high = input.Byte();
    const std::uint8_t timesByte = input.Byte();
    const std::uint32_t times = timesByte == 0xFF ? vx::emu::kEveryTime : timesByte % 4 + 1;
    const Fault fault = FaultOf(kind, low);
    const bool writeOnly = fault.kind == vx::emu::FaultKind::IgnoreWrite;
    switch (matcher % 4) {
      case 0:  // any command, so a failing one
        plan.OnCommand(std::uint64_t{low} | std::uint64_t{high} << 8, writeOnly ? Fault::CallFails() : fault);
        break;
      case 1:
        plan.OnOpcode(writeOnly ? kScsiWrites[high % kScsiWrites.size()] : kScsiOpcodes[high % kScsiOpcodes.size()],
                      fault, times);
        break;
      case 2:
        plan.OnSpiOpcode(writeOnly ? kSpiWrites[high % kSpiWrites.size()] : kSpiOpcodes[high % kSpiOpcodes.size()],
                         fault, times);
        break;
      default:
        plan.OnUsbRequest(kind & 1 ? vx::emu::UsbFault::ShortTransfer(low % 16) : vx::emu::UsbFault::Fails(), times);
    }
  }
}

bool Holds(std::span<const std::uint8_t> flash, std::uint32_t address, const Bytes& bytes) {
  return std::equal(bytes.begin(), bytes.end(), flash.begin() + address);
}

// Failures after which nothing may have been written.
bool NothingWritten(vx::UpdaterOutcome outcome, const std::u16string& box) {
  if (outcome != vx::UpdaterOutcome::UpdateFailed) return true;
  return box.starts_with(u"Can't Find the device!") || box.find(u"Nothing was written") != std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::fuzz::FuzzInput input(data, size);
  const std::uint8_t setup = input.Byte();
  const bool eep = setup & 1;
  const char* part = kParts[(setup >> 1) % std::size(kParts)];

  vx::platform::sim::SimPlatform sim;
  vx::platform::sim::SimMachineBuilder machine(sim);
  vx::emu::Bridge& bridge =
      *machine.AddBridge(vx::platform::sim::SimBridgeSetup().Part(vx::emu::PartNamed(part))).bridge;
  // As bridges are found: holding their firmware, the flash protected.
  const std::span<std::uint8_t> flash = bridge.Flash()->Array();
  std::ranges::copy(kOldConfig, flash.begin());
  std::ranges::copy(kOldCode, flash.begin() + vx::ConfigImageSize);
  bridge.Flash()->SetStatus(bridge.Flash()->Part().protectBits);
  const Bytes before(flash.begin(), flash.end());

  const vx::platform::ScopedPlatform scoped(sim.Apis());
  sim.Files().Write(u"C:\\Updater\\Config.ini",
                    std::string("[Hex_FileName]\r\nHEXNAME=") + (eep ? "fw.eep" : "fw.bin") + "\r\n[Cmp_Ver]\r\nCMPLEN=0\r\n");
  sim.Files().Write(u"C:\\Updater\\fw.bin", kNewCode);
  sim.Files().Write(u"C:\\Updater\\fw.eep", Eep());
  AddFaults(input, bridge.Faults());

  vx::Images().ResetImages();
  vx::fuzz::QuietView view;
  {
    vx::CVX94C6FWUpdaterDlg dialog(view);
    if (dialog.StartUp(u"C:\\Updater\\", u"C:\\Updater\\Config.ini")) {
      for (std::size_t i = 0; i < view.timers.size(); ++i) {
        dialog.OnTimer(view.timers[i]);
        dialog.WaitForUpdate();
      }
    }
    const vx::UpdaterOutcome outcome = dialog.Outcome();
    if (outcome == vx::UpdaterOutcome::Updated) {
      FUZZ_CHECK(view.lastBox == u"Success!!");
      FUZZ_CHECK(Holds(flash, 0, eep ? kNewConfig : kOldConfig));
      FUZZ_CHECK(Holds(flash, vx::ConfigImageSize, kNewCode));
      if (eep) FUZZ_CHECK(Holds(flash, vx::kDiskImageAddress, kNewDisk));
    } else {
      FUZZ_CHECK(view.lastBox != u"Success!!");
      if (NothingWritten(outcome, view.lastBox)) FUZZ_CHECK(std::ranges::equal(flash, before));
    }
  }
  vx::Images().ResetImages();
  return 0;
}
