// Start-up of the updater: settings, the device check and its read-back,
// the file load, the confirmation, the two one-shot timers and the gates in
// front of an update.
#include <gtest/gtest.h>

#include <cstring>

#include "app/device_text.h"
#include "image/default_config_image.h"
#include "tests/app/updater_fixture.h"

namespace vx {
namespace {

using testing::Bytes;
using testing::DefaultBridge;
using testing::Pattern;
using testing::SettingsFor;

class StartUpTest : public testing::UpdaterFixture {
 protected:
  // A bridge holding a configuration image and code, and a ".bin" file
  // named in settings that pass both gates.
  emu::Bridge& ReadyBridge(const platform::sim::SimBridgeSpec& spec = DefaultBridge()) {
    emu::Bridge& bridge = AddBridge(spec);
    Program(bridge, 0, Pattern(ConfigImageSize, 0x11));
    Program(bridge, ConfigImageSize, Pattern(CodeAreaSize, 0x22));
    WriteSettings(SettingsFor("fw.bin"));
    WriteFile(u"fw.bin", Pattern(3000, 0x33));
    return bridge;
  }
  std::vector<std::string> LastEvents(std::size_t n) const {
    const auto events = view_.Events();
    return {events.end() - static_cast<std::ptrdiff_t>(std::min(n, events.size())), events.end()};
  }
};

TEST_F(StartUpTest, ConfirmedStartTakesTheBridgesImagesAndWaitsForTheAutoStartTimer) {
  emu::Bridge& bridge = ReadyBridge();
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(LastEvents(5), (std::vector<std::string>{
                               "scroll", "status Main code loaded!",
                               "box Warning: Please do not power down or un-plug the device when updating the FW.",
                               "timer 8888 500", "status Updating now, please don't remove device!"}));
  EXPECT_EQ(view_.BoxStyles(), std::vector<unsigned>{MB_OKCANCEL | MB_ICONWARNING});
  EXPECT_EQ(view_.FilePathBox(), "C:\\Updater\\fw.bin");
  EXPECT_FALSE(view_.UpdateEnabled());
  EXPECT_EQ(dlg_.m_deviceTable, nullptr);  // the check released its table
  // The device check took the bridge's configuration image, its code's
  // checksum and its version.
  EXPECT_EQ(Bytes(Images().configImage, Images().configImage + ConfigImageSize), Pattern(ConfigImageSize, 0x11));
  const Bytes code = FlashOf(bridge, ConfigImageSize, CodeAreaSize);
  EXPECT_EQ(dlg_.m_devChecksum, CodeChecksum(code.data(), CodeAreaSize));
  EXPECT_EQ(view_.ChecksumBox(), ToUtf8(ChecksumText(dlg_.m_devChecksum)));
  EXPECT_EQ(dlg_.m_devVersion, u"01000005");

  FireTimers();
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::Updated);
  EXPECT_FALSE(view_.Ended());  // the dialog stays open after an update
}

TEST_F(StartUpTest, SettingsThatCannotBeUsedCancelBeforeAnythingIsSent) {
  emu::Bridge& bridge = ReadyBridge();
  WriteSettings("[Configuration]\r\nDevCount=4\r\n");
  EXPECT_FALSE(StartUp());
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"Error: Failed to get configuration information."});
  EXPECT_EQ(view_.Events().back(), "cancel");
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::SettingsRefused);
}

TEST_F(StartUpTest, NoBridgeCancels) {
  WriteSettings(SettingsFor("fw.bin"));
  EXPECT_FALSE(StartUp());
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"ERROR: Can't find the device!\nPlease check the device."});
  EXPECT_TRUE(view_.Ended());
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::NoDevice);
}

TEST_F(StartUpTest, FailedReadBackCancelsAndReleasesTheTable) {
  ReadyBridge().Faults().OnSpiOpcode(0x03, emu::Fault::CallFails());
  EXPECT_FALSE(StartUp());
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"Read device fail: Read device content error"});
  EXPECT_EQ(view_.BoxStyles(), std::vector<unsigned>{MB_ICONINFORMATION});
  EXPECT_TRUE(view_.Ended());
  EXPECT_EQ(dlg_.m_deviceTable, nullptr);
  EXPECT_EQ(sim_.Mutexes().OpenHandles(), 0u);
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::DeviceReadFailed);
}

TEST_F(StartUpTest, FileThatDoesNotLoadClosesAfterTheAutoCloseTimer) {
  emu::Bridge& bridge = ReadyBridge();
  WriteSettings(SettingsFor("none.bin"));
  const Bytes before = FlashOf(bridge, 0, 0x4000);
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(view_.Boxes(), (std::vector<std::string>{"Error: Load BIN file error!!!", "Error: Load FW error!!!"}));
  EXPECT_EQ(view_.Status(), "Load FW error!!!");
  EXPECT_EQ(view_.Timers(), std::vector<unsigned>{IDT_AUTO_CLOSE});
  FireTimers();
  EXPECT_EQ(LastEvents(2), (std::vector<std::string>{"stop timer 9999", "close"}));
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::FileNotLoaded);
}

TEST_F(StartUpTest, DeclinedWarningClosesWithoutAnotherBox) {
  emu::Bridge& bridge = ReadyBridge();
  const Bytes before = FlashOf(bridge, 0, 0x4000);
  view_.answer = IDCANCEL;
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(view_.Boxes().size(), 1u);
  EXPECT_EQ(view_.Timers(), std::vector<unsigned>{IDT_AUTO_CLOSE});
  FireTimers();
  EXPECT_TRUE(view_.Ended());
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::Declined);
}

// The code area counts as blank when its first 512 bytes are all 0xFF or all 0x00.
class BlankCodeAreaTest : public StartUpTest, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(BlankCodeAreaTest, LeavesNoCodeImageAndChecksumZero) {
  Program(ReadyBridge(), ConfigImageSize, Bytes(512, GetParam()));
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(dlg_.m_devChecksum, 0);
  EXPECT_EQ(view_.ChecksumBox(), "0000");
}

INSTANTIATE_TEST_SUITE_P(Fills, BlankCodeAreaTest, ::testing::Values(0xFF, 0x00));

TEST_F(StartUpTest, BridgeWithoutDiskPathPassesUnreadThenFailsAtTheErase) {
  emu::Bridge& bridge = ReadyBridge(DefaultBridge().Layout(emu::BridgeLayout::WinUsbOnly));
  const Bytes before = FlashOf(bridge, 0, 0x4000);
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(0, std::memcmp(Images().configImage, kDefaultConfigImage, ConfigImageSize));
  EXPECT_EQ(view_.ChecksumBox(), "");
  FireTimers();
  EXPECT_EQ(view_.LastBox(), "ERROR: Erase chip failed.");
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  ExpectHandedBack();
}

TEST_F(StartUpTest, OnlyTheFirstOfSeveralBridgesIsExaminedAndUpdated) {
  emu::Bridge& first = ReadyBridge();
  emu::ChipInfoValues other;
  other.firmwareVersion = 0x0200000A;
  emu::Bridge& second = AddBridge(DefaultBridge().ChipInfo(other));
  const Bytes secondBefore = FlashOf(second, 0, 0x4000);
  Run();
  EXPECT_EQ(dlg_.m_devVersion, u"01000005");
  EXPECT_EQ(view_.LastBox(), "Message: Success!!");
  EXPECT_EQ(FlashOf(first, ConfigImageSize, 3000), Pattern(3000, 0x33));
  EXPECT_EQ(FlashOf(second, 0, 0x4000), secondBefore);
}

struct GateCase {
  const char* name;
  std::uint32_t version;
  std::uint8_t code;  // fills the bridge's code area; 0xFF leaves it blank
  std::string cmp;    // the [Cmp_Ver] lines; none: no settings file at all
  std::string box;    // "" when the update runs
};

void PrintTo(const GateCase& c, std::ostream* os) { *os << c.name; }

class GateTest : public StartUpTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(GateTest, DecidesWhetherTheUpdateRuns) {
  const GateCase& c = GetParam();
  emu::ChipInfoValues info;
  info.firmwareVersion = c.version;
  emu::Bridge& bridge = AddBridge(DefaultBridge().ChipInfo(info));
  Program(bridge, ConfigImageSize, Bytes(CodeAreaSize, c.code));  // 0x01: checksum 0x2000
  if (!c.cmp.empty()) WriteSettings("[Cmp_Ver]\r\n" + c.cmp + "[Hex_FileName]\r\nHEXNAME=fw.bin\r\n");
  WriteFile(c.cmp.empty() ? u"VX94C6.bin" : u"fw.bin", Pattern(3000, 0x33));  // the default name without settings
  const Bytes before = FlashOf(bridge, 0, 0x4000);

  Run();
  if (c.box.empty()) {
    EXPECT_EQ(view_.LastBox(), "Message: Success!!");
    return;
  }
  EXPECT_EQ(view_.LastBox(), c.box);
  EXPECT_EQ(view_.Events().back(), "close");
  EXPECT_FALSE(view_.UpdateEnabled());
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::GateRefused);
}

const std::string kVersionBox = "Message: FW version are not the same.";
const std::string kChecksumBox = "Message: FW checksum are not the same.";

INSTANTIATE_TEST_SUITE_P(
    Cases, GateTest,
    ::testing::Values(GateCase{"NoSettingsFileComparesEmptyText", 0x01000005, 1, "", kVersionBox},
                      GateCase{"VersionMatches", 0x01000005, 1, "CMPLEN=8\r\nCMPSTR=01000005\r\n", ""},
                      GateCase{"VersionIgnoresCase", 0x0A0B0C0D, 1, "CMPLEN=8\r\nCMPSTR=0a0B0c0D\r\n", ""},
                      GateCase{"VersionDiffers", 0x01000006, 1, "CMPLEN=8\r\nCMPSTR=01000005\r\n", kVersionBox},
                      GateCase{"LeadingZeroKept", 0x01000005, 1, "CMPLEN=2\r\nCMPSTR=01\r\n", ""},
                      GateCase{"FirstFourCharacters", 0x0A0B0C0D, 1, "CMPLEN=4\r\nCMPSTR=0A0B\r\n", ""},
                      GateCase{"LongerTextNeverMatches", 0x0A0B0C0D, 1, "CMPLEN=4\r\nCMPSTR=0A0B0C0D\r\n", kVersionBox},
                      GateCase{"NoVersionGate", 0x01000005, 1, "CMPLEN=0\r\nCMPSTR=anything\r\n", ""},
                      GateCase{"ChecksumMatches", 0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=2000\r\n", ""},
                      GateCase{"ChecksumDiffers", 0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=1FFF\r\n", kChecksumBox},
                      GateCase{"BlankBridgeFailsAnyChecksum", 0x01000005, 0xFF, "CMPLEN=0\r\nCHECKSUM=1234\r\n",
                               kChecksumBox},
                      GateCase{"ChecksumZeroIsNoGate", 0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=0000\r\n", ""}),
    [](const ::testing::TestParamInfo<GateCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vx
