// A simulated machine with the updater's dialog on a recording view: the
// settings file and the firmware files live in the simulated file system
// beside the program, bridges are plugged into the machine's root hub.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/updater_dlg.h"
#include "emulator/flash_catalogue.h"
#include "image/image_store.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"
#include "tests/app/firmware_files.h"
#include "tests/app/recording_view.h"

namespace vx::testing {

inline constexpr std::u16string_view kProgramPath = u"C:\\Updater\\VX94C6FWUpdater.exe";
inline constexpr std::u16string_view kExeDir = u"C:\\Updater\\";
inline constexpr std::uint32_t kBridgeVersion = 0x01000005;

// Settings that pass both gates of the default bridge and name `file`.
inline std::string SettingsFor(const std::string& file) {
  return "[Hex_FileName]\r\nHEXNAME=" + file + "\r\n[Cmp_Ver]\r\nCMPLEN=8\r\nCMPSTR=01000005\r\nCHECKSUM=0000\r\n";
}

// A bridge with a 256-byte-page flash (row 47) and firmware version 01000005.
inline platform::sim::SimBridgeSpec DefaultBridge() {
  emu::ChipInfoValues info;
  info.firmwareVersion = kBridgeVersion;
  return platform::sim::SimBridgeSpec().Part(emu::PartForRow(47)).ChipInfo(info);
}

class UpdaterFixture : public ::testing::Test {
 protected:
  UpdaterFixture() { Images().ResetImages(); }

  emu::Bridge& AddBridge(const platform::sim::SimBridgeSpec& spec = DefaultBridge()) {
    return *machine_.AddBridge(spec).bridge;
  }
  void WriteSettings(const std::string& text) { sim_.Files().Write(std::u16string(kExeDir) + u"Config.ini", text); }
  void WriteFile(const std::u16string& name, const Bytes& bytes) {
    sim_.Files().Write(std::u16string(kExeDir) + name, bytes);
  }
  // The bridge's flash from address on.
  static Bytes FlashOf(emu::Bridge& bridge, std::uint32_t address, std::size_t length) {
    const auto flash = bridge.Flash()->Array();
    return Bytes(flash.begin() + address, flash.begin() + address + static_cast<std::ptrdiff_t>(length));
  }
  static void Program(emu::Bridge& bridge, std::uint32_t address, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), bridge.Flash()->Array().begin() + address);
  }

  bool StartUp() { return dlg_.OnInitDialog(kProgramPath); }
  // The framework's part: every running timer ticks once, in order, and an
  // update thread that a tick started runs to its end.
  void FireTimers() {
    while (!view_.Ended() && !view_.Timers().empty()) {
      dlg_.OnTimer(view_.Timers().front());
      dlg_.WaitForUpdate();
    }
  }
  // Start-up, then the timers.
  void Run() {
    if (StartUp()) FireTimers();
  }

  // The dialog handed back to the operator after an update: bar hidden,
  // Update enabled, no thread, the device table released, no mutex held.
  void ExpectHandedBack() {
    EXPECT_FALSE(view_.ProgressShown());
    EXPECT_TRUE(view_.UpdateEnabled());
    EXPECT_FALSE(dlg_.UpdateRunning());
    EXPECT_EQ(dlg_.m_deviceTable, nullptr);
    EXPECT_EQ(dlg_.m_deviceCount, 0);
    EXPECT_EQ(sim_.Mutexes().OpenHandles(), 0u);
    EXPECT_FALSE(sim_.Mutexes().IsOwned(u"[Device0000]"));
  }

  platform::sim::SimPlatform sim_;
  platform::sim::SimMachineBuilder machine_{sim_};
  platform::ScopedPlatform scoped_{sim_.Apis()};
  RecordingView view_;
  CVX94C6FWUpdaterDlg dlg_{view_};
};

}  // namespace vx::testing
