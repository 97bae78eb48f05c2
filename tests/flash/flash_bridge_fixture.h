// A record for one emulated bridge with an SPI flash behind it, on the
// simulated machine, and views of what reached the bridge.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/device_record.h"
#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "flash/flash_table.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"
#include "tests/support/test_bytes.h"

namespace vx::test {

inline constexpr char16_t kDiskPath[] = u"\\\\?\\usbstor#disk&ven_vx&prod_bridge#7&1&0";
inline constexpr char16_t kMutexName[] = u"[Device0000]";

inline std::string Repeat(std::string_view unit, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += (i == 0 ? "" : " ") + std::string(unit);
  return text;
}

class FlashBridgeTest : public testing::Test {
 protected:
  FlashBridgeTest() {
    device.mutex = sim.Mutexes().Create(kMutexName);
    SetText(device.diskPath, kDiskPath);
    device.chipMode = kChipModeSpiFlash;
    device.flashMatch = -1;
  }
  ~FlashBridgeTest() override { sim.Mutexes().Close(device.mutex); }

  // A new bridge with the part, its flash as found in the field.
  void Fit(const emu::FlashPart& part) {
    bridge = std::make_unique<emu::Bridge>(sim.Clock(), part);
    platform::sim::PutInFieldState(*bridge->Flash());
    sim.AttachBridge(*bridge, kDiskPath, u"");
  }
  // An erased and unprotected flash, for tests about other things.
  void Blank() {
    bridge->Flash()->SetStatus(0x00);
    std::ranges::fill(bridge->Flash()->Array(), 0xFF);
  }
  void FitRow(int row) {
    Fit(emu::PartForRow(row));
    device.flashChip = &FlashDescriptorTable[row];
    device.flashMatch = row;
  }

  // The SPI opcode of every vendor command that reached the bridge, e.g. "06 02 05 04".
  std::string Sent() const {
    std::string text;
    for (const auto& entry : bridge->Trace().Scsi()) {
      if (entry.cdb.size() == 16) text += (text.empty() ? "" : " ") + emu::HexBytes(std::span(entry.cdb).subspan(8, 1));
    }
    return text;
  }
  // Sent() with every run of status polls shown as one "05".
  std::string SentRounds() const {
    std::string text = Sent();
    for (std::size_t at; (at = text.find("05 05")) != std::string::npos;) text.erase(at, 3);
    return text;
  }
  std::size_t Commands() const { return bridge->Trace().Scsi().size(); }
  // The bridge lock free and every handle closed again.
  bool AllReleased() {
    return !sim.Mutexes().IsOwned(kMutexName) && sim.Mutexes().FailedReleases() == 0 &&
           sim.Scsi().OpenHandles() == 0 && sim.Scsi().BadCloses() == 0;
  }
  std::uint64_t Now() { return sim.Clock().NowMs(); }
  Bytes FlashBytes(std::uint32_t address, std::uint32_t length) {
    auto array = bridge->Flash()->Array().subspan(address, length);
    return Bytes(array.begin(), array.end());
  }

  platform::sim::SimPlatform sim;
  platform::ScopedPlatform scoped{sim.Apis()};
  std::unique_ptr<emu::Bridge> bridge;
  DeviceRecord device{};
};

}  // namespace vx::test
