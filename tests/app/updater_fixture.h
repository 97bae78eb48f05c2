// The updater's dialog on a recording view and a simulated machine: the
// settings file and the firmware files live beside the program, bridges are
// plugged into the machine's root hub.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/updater_dlg.h"
#include "emulator/flash_catalogue.h"
#include "image/image_store.h"
#include "platform/sim/sim_machine_builder.h"
#include "platform/sim/sim_platform.h"
#include "tests/app/recording_view.h"
#include "tests/support/test_bytes.h"

namespace vx::testing {

using test::Bytes;
using test::Pattern;

// An ".eep" file: the configuration image, the code length and checksum in
// the header, the code at 536 and, when given, the disk image at 10240.
inline Bytes MakeEep(const Bytes& config, const Bytes& code, const Bytes& disk = {}) {
  Bytes file(config);
  file.resize(536, 0x00);
  const auto length = static_cast<std::uint32_t>(code.size());
  const std::uint16_t checksum = CodeChecksum(code.data(), length);
  for (int i = 0; i < 4; ++i) file[524 + i] = static_cast<std::uint8_t>(length >> (8 * i));
  file[528] = static_cast<std::uint8_t>(checksum);
  file[529] = static_cast<std::uint8_t>(checksum >> 8);
  file.insert(file.end(), code.begin(), code.end());
  if (!disk.empty()) file.resize(10240, 0xFF);
  file.insert(file.end(), disk.begin(), disk.end());
  return file;
}

inline const std::u16string kExeDir = u"C:\\Updater\\";
inline const Bytes kDeviceConfig = Pattern(ConfigImageSize, 0x11);
inline const Bytes kBinCode = Pattern(3000, 0x33);
inline const Bytes kEepConfig = Pattern(ConfigImageSize, 0x44);
inline const Bytes kEepCode = Pattern(6000, 0x55);
inline const Bytes kEepDisk = Pattern(5000, 0x66);
inline const std::string kSuccess = "Message: Success!!";

// A bridge with a 256-byte-page flash (row 47) and the firmware version given.
inline platform::sim::SimBridgeSetup DefaultBridge(std::uint32_t version = 0x01000005) {
  emu::ChipInfoValues info;
  info.firmwareVersion = version;
  return platform::sim::SimBridgeSetup().Part(emu::PartForRow(47)).ChipInfo(info);
}

// One machine with the dialog; table-driven tests build one per case.
class UpdaterMachine {
 public:
  UpdaterMachine() { Images().ResetImages(); }

  // A bridge holding its own configuration image and old code.
  emu::Bridge& OldBridge(const platform::sim::SimBridgeSetup& setup = DefaultBridge(),
                         const Bytes& code = Pattern(CodeAreaSize, 0x22)) {
    emu::Bridge& bridge = *machine_.AddBridge(setup).bridge;
    const auto flash = bridge.Flash()->Array().begin();
    std::copy(code.begin(), code.end(), std::copy(kDeviceConfig.begin(), kDeviceConfig.end(), flash));
    return bridge;
  }
  // Settings that pass both gates of the default bridge and name `file`,
  // and the firmware files fw.bin and fw.eep.
  void WriteFirmware(const std::string& file) {
    WriteFile(u"Config.ini", "[Hex_FileName]\r\nHEXNAME=" + file +
                                 "\r\n[Cmp_Ver]\r\nCMPLEN=8\r\nCMPSTR=01000005\r\nCHECKSUM=0000\r\n");
    WriteFile(u"fw.bin", kBinCode);
    WriteFile(u"fw.eep", MakeEep(kEepConfig, kEepCode, kEepDisk));
  }
  template <typename Data>
  void WriteFile(const std::u16string& name, const Data& data) {
    sim_.Files().Write(kExeDir + name, data);
  }
  static Bytes FlashOf(emu::Bridge& bridge, std::uint32_t address, std::size_t length) {
    const auto start = bridge.Flash()->Array().begin() + address;
    return Bytes(start, start + static_cast<std::ptrdiff_t>(length));
  }

  bool StartUp() { return dlg_.OnInitDialog(kExeDir + u"VX94C6FWUpdater.exe"); }
  // The framework's part: every timer started fires once, and an update
  // thread that it starts runs to its end.
  void FireTimers() {
    for (std::size_t i = 0; i < view_.events.size(); ++i) {
      const std::string event = view_.events[i];
      if (!event.starts_with("timer ")) continue;
      dlg_.OnTimer(static_cast<unsigned>(std::stoul(event.substr(6))));
      dlg_.WaitForUpdate();
    }
  }
  void RunUpdater() {
    StartUp();
    FireTimers();
  }

  // The dialog handed back to the operator after an update: bar hidden,
  // Update enabled, no thread, the device table released, no mutex held.
  void ExpectHandedBack() {
    EXPECT_EQ(view_.Last("bar "), "hidden");
    EXPECT_EQ(view_.Last("update "), "enabled");
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

class UpdaterTest : public ::testing::Test, public UpdaterMachine {};

}  // namespace vx::testing
