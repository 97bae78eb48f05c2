// Start-up of the updater: settings, the device check and its read-back,
// the file load, the confirmation, the one-shot timers and the gates in
// front of an update.
#include <gtest/gtest.h>

#include <cstring>

#include "app/device_text.h"
#include "image/default_config_image.h"
#include "tests/app/updater_fixture.h"

namespace vx::testing {
namespace {

TEST_F(UpdaterTest, ConfirmedStartTakesTheBridgesImagesAndWaitsForTheAutoStartTimer) {
  emu::Bridge& bridge = OldBridge();
  WriteFirmware("fw.bin");
  ASSERT_TRUE(StartUp());
  EXPECT_TRUE(view_.Joined().ends_with(
      "scroll | status Main code loaded! | "
      "box Warning: Please do not power down or un-plug the device when updating the FW. | timer 8888 500 | "
      "status Updating now, please don't remove device!"))
      << view_.Joined();
  EXPECT_EQ(view_.lastStyle, MB_OKCANCEL | MB_ICONWARNING);
  EXPECT_EQ(view_.filePathBox, kExeDir + u"fw.bin");
  EXPECT_EQ(dlg_.m_deviceTable, nullptr);  // the check released its table
  // The check took the bridge's configuration image, code checksum and version.
  EXPECT_EQ(Bytes(Images().configImage, Images().configImage + ConfigImageSize), kDeviceConfig);
  const Bytes code = FlashOf(bridge, ConfigImageSize, CodeAreaSize);
  EXPECT_EQ(dlg_.m_devChecksum, CodeChecksum(code.data(), CodeAreaSize));
  EXPECT_EQ(view_.checksumBox, ChecksumText(dlg_.m_devChecksum));
  EXPECT_EQ(dlg_.m_devVersion, u"01000005");
}

// The code area counts as blank when its first 512 bytes are all 0xFF or all 0x00.
TEST(BlankCodeAreaTest, LeavesNoCodeImageAndChecksumZero) {
  for (const std::uint8_t fill : {0xFF, 0x00}) {
    UpdaterMachine m;
    Bytes code = Pattern(CodeAreaSize, 0x22);
    std::fill_n(code.begin(), 512, fill);
    m.OldBridge(DefaultBridge(), code);
    ASSERT_TRUE(m.StartUp());
    EXPECT_EQ(Images().codeLength, 0u);
    EXPECT_EQ(m.dlg_.m_devChecksum, 0);
    EXPECT_EQ(m.view_.checksumBox, u"0000");
  }
}

TEST_F(UpdaterTest, BridgeWithoutDiskPathPassesUnreadThenFailsAtTheErase) {
  emu::Bridge& bridge = OldBridge(DefaultBridge().Layout(emu::BridgeLayout::WinUsbOnly));
  WriteFirmware("fw.bin");
  const Bytes before = FlashOf(bridge, 0, 0x4000);
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(0, std::memcmp(Images().configImage, kDefaultConfigImage, ConfigImageSize));
  EXPECT_EQ(view_.checksumBox, u"");
  FireTimers();
  EXPECT_EQ(view_.LastBox(), "ERROR: Erase chip failed.");
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  ExpectHandedBack();
}

// Each way start-up ends without an update. The outcome names the case: no
// bridge is plugged for NoDevice, the bridge's flash reads fail for
// DeviceReadFailed.
TEST(StartUpRefusalTest, EachEndsWithItsOwnBoxesAndLeavesTheBridgeAlone) {
  using enum UpdaterOutcome;
  const struct {
    UpdaterOutcome outcome;
    std::string settings;  // "": settings that pass, naming fw.bin
    std::vector<std::string> boxes;
    std::string status;
  } cases[] = {
      {SettingsRefused, "[Configuration]\r\nDevCount=4\r\n", {"Error: Failed to get configuration information."}, ""},
      {NoDevice, "", {"ERROR: Can't find the device!\nPlease check the device."}, ""},
      {DeviceReadFailed, "", {"Read device fail: Read device content error"}, ""},
      {FileNotLoaded,
       "[Hex_FileName]\r\nHEXNAME=none.bin\r\n",
       {"Error: Load BIN file error!!!", "Error: Load FW error!!!"},
       "Load FW error!!!"},
      {Declined,
       "",
       {"Warning: Please do not power down or un-plug the device when updating the FW."},
       "Main code loaded!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.boxes[0]);
    UpdaterMachine m;
    const bool staysOpen = c.outcome == FileNotLoaded || c.outcome == Declined;  // until the auto-close timer
    emu::Bridge* bridge = c.outcome == NoDevice ? nullptr : &m.OldBridge();
    if (c.outcome == DeviceReadFailed) bridge->Faults().OnSpiOpcode(0x03, emu::Fault::CallFails());
    m.WriteFirmware("fw.bin");
    if (!c.settings.empty()) m.WriteFile(u"Config.ini", c.settings);
    m.view_.answer = c.outcome == Declined ? IDCANCEL : IDOK;
    const Bytes before = bridge ? m.FlashOf(*bridge, 0, 0x4000) : Bytes{};

    EXPECT_EQ(m.StartUp(), staysOpen);
    EXPECT_EQ(m.view_.Ended(), !staysOpen);
    m.FireTimers();
    EXPECT_EQ(m.view_.With("timer "), staysOpen ? std::vector<std::string>{"9999 500"} : std::vector<std::string>{});
    EXPECT_EQ(m.view_.Events().back(), staysOpen ? "close" : "cancel");
    EXPECT_EQ(m.view_.Boxes(), c.boxes);
    EXPECT_EQ(m.view_.Last("status "), c.status);
    EXPECT_EQ(m.dlg_.Outcome(), c.outcome);
    EXPECT_EQ(m.dlg_.m_deviceTable, nullptr);
    EXPECT_EQ(m.sim_.Mutexes().OpenHandles(), 0u);
    if (bridge) {
      EXPECT_EQ(m.FlashOf(*bridge, 0, 0x4000), before);
      EXPECT_EQ(bridge->CommandsReceived() == 0, c.outcome == SettingsRefused);
    }
  }
}

TEST(GateTest, DecidesWhetherTheUpdateRuns) {
  const std::string version = "Message: FW version are not the same.";
  const std::string checksum = "Message: FW checksum are not the same.";
  const struct {
    std::uint32_t version;
    std::uint8_t code;  // fills the bridge's code area: 0x01 sums to 0x2000, 0xFF is blank
    std::string cmp;    // the [Cmp_Ver] lines; none: no settings file at all
    std::string box;    // "" when the update runs
  } cases[] = {
      {0x01000005, 1, "", version},  // without settings the version compares with an empty text
      {0x0A0B0C0D, 1, "CMPLEN=8\r\nCMPSTR=0a0B0c0D\r\n", ""},
      {0x01000006, 1, "CMPLEN=8\r\nCMPSTR=01000005\r\n", version},
      {0x01000005, 1, "CMPLEN=2\r\nCMPSTR=01\r\n", ""},
      {0x0A0B0C0D, 1, "CMPLEN=4\r\nCMPSTR=0A0B\r\n", ""},
      {0x0A0B0C0D, 1, "CMPLEN=4\r\nCMPSTR=0A0B0C0D\r\n", version},
      {0x01000005, 1, "CMPLEN=0\r\nCMPSTR=anything\r\n", ""},
      {0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=2000\r\n", ""},
      {0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=1FFF\r\n", checksum},
      {0x01000005, 0xFF, "CMPLEN=0\r\nCHECKSUM=1234\r\n", checksum},
      {0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=0000\r\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cmp);
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge(DefaultBridge(c.version), Bytes(CodeAreaSize, c.code));
    if (!c.cmp.empty()) m.WriteFile(u"Config.ini", "[Cmp_Ver]\r\n" + c.cmp + "[Hex_FileName]\r\nHEXNAME=fw.bin\r\n");
    m.WriteFile(c.cmp.empty() ? u"VX94C6.bin" : u"fw.bin", kBinCode);  // the default name
    const Bytes before = m.FlashOf(bridge, 0, 0x4000);

    m.RunUpdater();
    if (c.box.empty()) {
      EXPECT_EQ(m.view_.LastBox(), "Message: Success!!");
      continue;
    }
    EXPECT_EQ(m.view_.LastBox(), c.box);
    EXPECT_EQ(m.view_.Events().back(), "close");
    EXPECT_EQ(m.FlashOf(bridge, 0, 0x4000), before);
    EXPECT_EQ(m.dlg_.Outcome(), UpdaterOutcome::GateRefused);
  }
}

}  // namespace
}  // namespace vx::testing
