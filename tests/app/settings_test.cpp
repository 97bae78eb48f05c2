#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/updater_dlg.h"
#include "base/text.h"
#include "platform/native_platform.h"
#include "platform/platform.h"
#include "tests/app/recording_view.h"
#include "tests/support/scratch_dir.h"

namespace vx {
namespace {

// Settings read from a real "Config.ini" in a fresh program folder.
TEST(SettingsTest, EveryRuleOnRealFiles) {
  const test::ScratchDir scratch;
  const std::filesystem::path& dir = scratch.Path();
  const platform::ScopedPlatform scoped(platform::NativePlatform());
  const std::u16string exeDir = (dir / "").u16string();
  const std::u16string defaultName = u"VX94C6.bin";
  const struct {
    std::string ini;  // "none": no file
    bool ok;
    std::u16string hexName;
    std::int32_t cmpLen;
    std::u16string cmpStr;
    std::uint16_t checksum;
  } cases[] = {
      {"none", true, defaultName, 8, u"", 0},
      {"[Configuration]\nDevCount=1\n[Update_Device]\nVID1=ABCD\nPID1=1234\n[Hex_FileName]\nHEXNAME=/opt/new.eep\n"
       "[Cmp_Ver]\nCMPLEN=4\nCMPSTR=01a2\nCHECKSUM=beef\n",
       true, u"/opt/new.eep", 4, u"01a2", 0xBEEF},
      // More than three bridges listed: refused with nothing read or shown.
      {"[Configuration]\nDevCount=4\n[Hex_FileName]\nHEXNAME=x.bin\n[Cmp_Ver]\nCMPLEN=2\n", false, u"-", 5, u"-", 7},
      {"[Configuration]\nDevCount=3\n", true, defaultName, 8, u"", 0},
      {"[Configuration]\nDevCount=-2\n", true, defaultName, 8, u"", 0},
      {"[Hex_FileName]\nHEXNAME=" + std::string(130, 'n') + "\n[Cmp_Ver]\nCMPSTR=" + std::string(200, 'v') + "\n", true,
       std::u16string(127, u'n'), 8, std::u16string(127, u'v'), 0},
      {"[Cmp_Ver]\nCHECKSUM=zz12\n", true, defaultName, 8, u"", 0},  // no number: no checksum gate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ini);
    std::filesystem::remove(dir / "Config.ini");
    if (c.ini != "none") std::ofstream(dir / "Config.ini", std::ios::binary) << c.ini;
    testing::RecordingView view;
    CVX94C6FWUpdaterDlg dlg(view);
    dlg.m_exeDir = exeDir;
    dlg.m_hexName = dlg.m_cmpStr = u"-";
    dlg.m_cmpLen = 5;
    dlg.m_cfgChecksum = 7;
    dlg.m_checksumText = u"ABCD";
    EXPECT_EQ(dlg.ReadConfig(exeDir + u"Config.ini"), c.ok);
    EXPECT_EQ(dlg.m_hexName, c.hexName);
    EXPECT_EQ(dlg.m_cmpLen, c.cmpLen);
    EXPECT_EQ(dlg.m_cmpStr, c.cmpStr);
    EXPECT_EQ(dlg.m_cfgChecksum, c.checksum);
    // The file path joins the program folder and the name, even an absolute one.
    EXPECT_EQ(view.filePathBox, c.ok ? exeDir + c.hexName : u"");
    EXPECT_EQ(view.checksumBox, c.ok ? u"ABCD" : u"");
  }
}

// The number rules themselves are StrToIntEx's (the real call on Windows).
TEST(ParseChecksumText, ReadsHexDigitsAfterAnAddedPrefix) {
  const platform::ScopedPlatform scoped(platform::NativePlatform());
  const struct {
    std::u16string text;
    bool ok;
    std::uint16_t value;
  } cases[] = {
      {u"1a2b", true, 0x1A2B}, {u"zz", false, 0},
      {u"12345", true, 0x2345},  // five digits keep the last four
      {u"0x1234", true, 0},      // read as "0x0x1234": stops after the 0
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
