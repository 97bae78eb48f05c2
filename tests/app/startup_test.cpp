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
  EXPECT_EQ(view_.Joined(),
            "scroll | status Main code loaded! | "
            "box Warning: Please do not power down or un-plug the device when updating the FW. [31] | timer 8888 500 | "
            "status Updating now, please don't remove device!");
  EXPECT_EQ(dlg_.m_deviceTable, nullptr);  // the check released its table
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
  emu::Bridge& bridge = OldBridge(DefaultBridge().Layout(platform::sim::BridgeLayout::WinUsbOnly));
  WriteFirmware("fw.bin");
  const Bytes before = FlashOf(bridge, 0, 0x4000);
  Images().SetConfigImage(kEepConfig.data());  // left from an earlier start: start-up resets the store
  ASSERT_TRUE(StartUp());
  EXPECT_EQ(0, std::memcmp(Images().configImage, kDefaultConfigImage, ConfigImageSize));
  EXPECT_EQ(view_.checksumBox, u"");
  FireTimers();
  EXPECT_EQ(view_.LastBox(), "ERROR: Erase chip failed. [10]");
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  ExpectHandedBack();
}

// Each way start-up ends without an update, with all it shows.
TEST(StartUpRefusalTest, EachEndsWithItsOwnBoxesAndLeavesTheBridgeAlone) {
  using enum UpdaterOutcome;
  const std::string autoClose = " | timer 9999 500 | stop timer 9999 | close";
  const struct {
    UpdaterOutcome outcome;
    std::string settings;  // "": settings that pass, naming fw.bin
    std::string log;
  } cases[] = {
      {SettingsRefused, "[Configuration]\r\nDevCount=4\r\n",
       "box Error: Failed to get configuration information. | cancel"},
      {NoDevice, "", "box ERROR: Can't find the device!\nPlease check the device. [10] | cancel"},
      {DeviceReadFailed, "", "box Read device fail: Read device content error [40] | cancel"},
      {FileNotLoaded, "[Hex_FileName]\r\nHEXNAME=none.bin\r\n",
       "box Error: Load BIN file error!!! [10] | status File open failed.\r\nFirmware transformation error.\r\n | "
       "box Error: Load FW error!!! [10] | status Load FW error!!!" +
           autoClose},
      {Declined, "",
       "scroll | status Main code loaded! | "
       "box Warning: Please do not power down or un-plug the device when updating the FW. [31]" +
           autoClose},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    UpdaterMachine m;
    emu::Bridge* bridge = c.outcome == NoDevice ? nullptr : &m.OldBridge();
    if (c.outcome == DeviceReadFailed) bridge->Faults().OnSpiOpcode(0x03, emu::Fault::CallFails());
    m.WriteFirmware("fw.bin");
    if (!c.settings.empty()) m.WriteFile(u"Config.ini", c.settings);
    m.view_.answer = c.outcome == Declined ? BoxAnswer::Cancel : BoxAnswer::Ok;
    const Bytes before = bridge ? m.FlashOf(*bridge, 0, 0x4000) : Bytes{};

    EXPECT_EQ(m.StartUp(), c.log.ends_with(autoClose));  // the dialog stays until the auto-close timer
    m.FireTimers();
    EXPECT_EQ(m.view_.Joined(), c.log);
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
      {0x0A0B0C0D, 1, "CMPLEN=4\r\nCMPSTR=0A0B0C0D\r\n", version},
      {0x01000005, 1, "CMPLEN=0\r\nCMPSTR=anything\r\n", ""},
      {0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=2000\r\n", ""},
      {0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=1FFF\r\n", checksum},
      {0x01000005, 0xFF, "CMPLEN=0\r\nCHECKSUM=1234\r\n", checksum},
      {0x01000005, 1, "CMPLEN=0\r\nCHECKSUM=0000\r\n", ""},
      {0x01000006, 1, "CMPLEN=8\r\nCMPSTR=01000005\r\nCHECKSUM=1FFF\r\n", version},  // the version first
      {0x01000005, 1, "CMPLEN=-1\r\nCMPSTR=\r\n", ""},  // a negative length compares no character
      {0x01000005, 1, "CMPLEN=-1\r\nCMPSTR=01\r\n", version},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cmp);
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge(DefaultBridge(c.version), Bytes(CodeAreaSize, c.code));
    if (!c.cmp.empty()) m.WriteFile(u"Config.ini", "[Cmp_Ver]\r\n" + c.cmp + "[Hex_FileName]\r\nHEXNAME=fw.bin\r\n");
    m.WriteFile(c.cmp.empty() ? u"VX94C6.bin" : u"fw.bin", kBinCode);  // the default name
    const Bytes before = m.FlashOf(bridge, 0, 0x4000);

    m.RunUpdater();
    EXPECT_EQ(m.view_.LastBox(), c.box.empty() ? "Message: Success!!" : c.box);
    if (c.box.empty()) continue;
    EXPECT_EQ(m.view_.Joined("stop timer 8888"), "update disabled | box " + c.box + " | close");
    EXPECT_EQ(m.FlashOf(bridge, 0, 0x4000), before);
    EXPECT_EQ(m.dlg_.Outcome(), UpdaterOutcome::GateRefused);
  }
}

const std::string kBadType = "ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW. [10]";

// What the operator is told, and nothing of a refused file in the store.
TEST(FirmwareLoadTest, LoadsOrRefusesWithItsOwnMessage) {
  const std::string tooLong = "The code image is 8193 bytes long; the code area holds at most 8192 bytes.";
  const struct {
    std::u16string file;
    std::string log;
    std::int32_t fileType;  // after the load; it is 1 before
  } cases[] = {
      {u"full.bin", "scroll | status Main code loaded!", 0},  // fills the code area exactly
      {u"none.bin",
       "box Error: Load BIN file error!!! [10] | status File open failed.\r\nFirmware transformation error.\r\n", 0},
      // A failed ".eep" load has no details: the status line is emptied.
      {u"none.eep", "box Error: Load EEP file error!!! [10] | status ", 1},
      {u"notes.txt.eep", "box Error: Load EEP file error!!! [10] | status ", 1},
      {u"", "box Error: Load EEP file error!!! [10] | status ", 1},  // an empty path keeps the earlier type
      {u"FW.BIN", "box " + kBadType, -1},
      {u"fw.Eep", "box " + kBadType, -1},
      {u"long.bin", "box Error: " + tooLong + " [10] | status " + tooLong, 0},
      {u"long.eep", "box Error: " + tooLong + " [10] | status " + tooLong, 1},  // its other images go too
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.file));
    UpdaterMachine m;
    Images().SetConfigImage(kDeviceConfig.data());
    for (const char16_t* name : {u"notes.txt.eep", u"FW.BIN", u"fw.Eep"}) m.WriteFile(name, MakeEep(kEepConfig, {}));
    m.WriteFile(u"full.bin", Pattern(CodeAreaSize, 6));
    m.WriteFile(u"long.bin", Pattern(CodeAreaSize + 1, 6));
    m.WriteFile(u"long.eep", MakeEep(kEepConfig, Pattern(CodeAreaSize + 1, 6), kEepDisk));
    m.dlg_.m_imageLoaded = 1;
    m.dlg_.m_fileType = 1;
    m.view_.filePathBox = c.file.empty() ? u"" : kExeDir + c.file;
    m.dlg_.OnFilePathKillFocus();
    const bool loaded = c.file == u"full.bin";
    EXPECT_EQ(m.view_.Joined(), c.log);
    EXPECT_EQ(m.dlg_.m_imageLoaded.load(), loaded ? 1 : 0);
    EXPECT_EQ(m.dlg_.m_fileType, c.fileType);
    EXPECT_EQ(0, std::memcmp(Images().configImage, kDeviceConfig.data(), ConfigImageSize));
    EXPECT_EQ(Images().codeLength, loaded ? CodeAreaSize : 0u);
    EXPECT_EQ(Images().diskLength, 0u);
  }
}

TEST_F(UpdaterTest, BrowseChecksTheLoweredExtensionAndTypingLoadsNothing) {
  WriteFile(u"FW.BIN", kBinCode);
  dlg_.OnBrowse(u"C:\\Updater\\FW.BIN");  // passes here, refused by the load
  EXPECT_EQ(view_.filePathBox, u"C:\\Updater\\FW.BIN");
  dlg_.m_imageLoaded = 1;
  dlg_.OnBrowse(u"C:\\fw.d\\notes");
  EXPECT_EQ(view_.filePathBox, u"C:\\fw.d\\notes");  // kept for the operator to mend
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);           // nothing was loaded
  view_.filePathBox = u"C:\\Updater\\FW.BIN";
  dlg_.OnFilePathChange();
  EXPECT_EQ(dlg_.m_filePath, u"C:\\Updater\\FW.BIN");
  EXPECT_EQ(view_.Joined(),
            "box " + kBadType + " | box ERROR: File Format is Invalid!\nPlease Select BIN or EEP file. [10]");
}

}  // namespace
}  // namespace vx::testing
