#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/updater_dlg.h"
#include "platform/linux/linux_platform.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "tests/app/recording_view.h"

namespace vx {
namespace {

// Settings read from a real "Config.ini" in a fresh program folder.
class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vx-settings-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    dir_ = pattern;
    dlg_.m_exeDir = FromUtf8((dir_ / "").string());
  }
  ~SettingsTest() override { std::filesystem::remove_all(dir_); }

  bool Read(const std::string& text) {
    std::ofstream(dir_ / "Config.ini", std::ios::binary) << text;
    return dlg_.ReadConfig(dlg_.m_exeDir + u"Config.ini");
  }

  std::filesystem::path dir_;
  platform::ScopedPlatform scoped_{platform::linux_backend::LinuxPlatform()};
  testing::RecordingView view_;
  CVX94C6FWUpdaterDlg dlg_{view_};
};

TEST_F(SettingsTest, MissingFileGivesEveryDefaultAndShowsThePath) {
  dlg_.m_checksumText = u"ABCD";
  ASSERT_TRUE(dlg_.ReadConfig(dlg_.m_exeDir + u"Config.ini"));
  EXPECT_EQ(dlg_.m_hexName, u"VX94C6.bin");
  EXPECT_EQ(dlg_.m_filePath, dlg_.m_exeDir + u"VX94C6.bin");
  EXPECT_EQ(dlg_.m_cmpLen, 8);
  EXPECT_EQ(dlg_.m_cmpStr, u"");
  EXPECT_EQ(dlg_.m_cfgChecksum, 0);
  EXPECT_EQ(view_.FilePathBox(), ToUtf8(dlg_.m_filePath));
  EXPECT_EQ(view_.ChecksumBox(), "ABCD");
}

TEST_F(SettingsTest, ValuesComeFromTheirSections) {
  ASSERT_TRUE(Read("[Configuration]\nDevCount=1\n[Update_Device]\nVID1=ABCD\nPID1=1234\n"
                   "[Hex_FileName]\nHEXNAME=/opt/new.eep\n[Cmp_Ver]\nCMPLEN=4\nCMPSTR=01a2\nCHECKSUM=beef\n"));
  EXPECT_EQ(dlg_.m_hexName, u"/opt/new.eep");
  EXPECT_EQ(dlg_.m_filePath, dlg_.m_exeDir + u"/opt/new.eep");  // joined even when absolute
  EXPECT_EQ(dlg_.m_cmpLen, 4);
  EXPECT_EQ(dlg_.m_cmpStr, u"01a2");
  EXPECT_EQ(dlg_.m_cfgChecksum, 0xBEEF);
}

TEST_F(SettingsTest, DevCountAboveThreeIsRefusedWithNothingChanged) {
  dlg_.m_cmpLen = 5;
  dlg_.m_cfgChecksum = 7;
  EXPECT_FALSE(Read("[Configuration]\nDevCount=4\n[Hex_FileName]\nHEXNAME=x.bin\n[Cmp_Ver]\nCMPLEN=2\n"));
  EXPECT_EQ(dlg_.m_hexName, u"");
  EXPECT_EQ(dlg_.m_cmpLen, 5);
  EXPECT_EQ(dlg_.m_cfgChecksum, 7);
  EXPECT_EQ(view_.FilePathBox(), "");

  for (const char* count : {"3", "0", "-2"}) {
    SCOPED_TRACE(count);
    EXPECT_TRUE(Read(std::string("[Configuration]\nDevCount=") + count + "\n"));
  }
}

TEST_F(SettingsTest, LongTextsAreCutTo127Characters) {
  ASSERT_TRUE(Read("[Hex_FileName]\nHEXNAME=" + std::string(130, 'n') + "\n[Cmp_Ver]\nCMPSTR=" +
                   std::string(200, 'v') + "\n"));
  EXPECT_EQ(dlg_.m_filePath, dlg_.m_exeDir + std::u16string(127, u'n'));
  EXPECT_EQ(dlg_.m_cmpStr, std::u16string(127, u'v'));
}

TEST_F(SettingsTest, ChecksumThatIsNoNumberLeavesTheGateOff) {
  dlg_.m_cfgChecksum = 0x5555;
  ASSERT_TRUE(Read("[Cmp_Ver]\nCHECKSUM=zz12\n"));
  EXPECT_EQ(dlg_.m_cfgChecksum, 0);
}

TEST(ParseChecksumText, ReadsHexDigitsAfterAnAddedPrefix) {
  const struct {
    std::u16string text;
    bool ok;
    std::uint16_t value;
  } cases[] = {
      {u"1a2b", true, 0x1A2B}, {u"1A2B", true, 0x1A2B}, {u"0000", true, 0},
      {u"12345", true, 0x2345},  // five digits keep the last four
      {u"0x1234", true, 0},      // read as "0x0x1234": stops after the 0
      {u"12g4", true, 0x12},     {u"zz", false, 0},     {u"-12", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    std::uint16_t out = 0xA5A5;
    EXPECT_EQ(ParseChecksumText(c.text, out), c.ok);
    EXPECT_EQ(out, c.ok ? c.value : 0xA5A5);
  }
}

}  // namespace
}  // namespace vx
