// Loading the firmware file from the file box and through the browse
// handler: what the store holds afterwards and what the operator is told.
#include <gtest/gtest.h>

#include "tests/app/updater_fixture.h"

namespace vx::testing {
namespace {

Bytes Held(const std::uint8_t* bytes, std::size_t length) { return bytes ? Bytes(bytes, bytes + length) : Bytes{}; }

const std::string kBadType = "ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW.";

TEST_F(UpdaterTest, CodeFillingTheCodeAreaExactlyLoads) {
  WriteFile(u"full.bin", Pattern(CodeAreaSize, 1));
  view_.filePathBox = kExeDir + u"full.bin";
  dlg_.OnFilePathKillFocus();
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
  EXPECT_EQ(view_.Joined(), "scroll | status Main code loaded!");
}

TEST(LoadFailureTest, RefusesWithItsOwnMessageAndLeavesNothingOfTheFileInTheStore) {
  const std::string tooLong = "The code image is 8193 bytes long; the code area holds at most 8192 bytes.";
  const struct {
    std::u16string file;
    std::string box, status;  // status "-": none shown
    std::int32_t fileType;    // after the load; it is 1 before
  } cases[] = {
      {u"none.bin", "Error: Load BIN file error!!!", "File open failed.\r\nFirmware transformation error.\r\n", 0},
      // A failed ".eep" load has no details: the status line is emptied.
      {u"none.eep", "Error: Load EEP file error!!!", "", 1},
      {u"notes.txt.eep", "Error: Load EEP file error!!!", "", 1},
      {u"", "Error: Load EEP file error!!!", "", 1},  // an empty path keeps the earlier type
      {u"FW.BIN", kBadType, "-", -1},
      {u"fw.Eep", kBadType, "-", -1},
      {u"long.bin", "Error: " + tooLong, tooLong, 0},
      {u"long.eep", "Error: " + tooLong, tooLong, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.file));
    UpdaterMachine m;
    Images().SetConfigImage(kDeviceConfig.data());
    for (const char16_t* name : {u"notes.txt.eep", u"FW.BIN", u"fw.Eep"}) m.WriteFile(name, MakeEep(kEepConfig, {}));
    m.WriteFile(u"long.bin", Pattern(CodeAreaSize + 1, 6));
    m.WriteFile(u"long.eep", MakeEep(kEepConfig, Pattern(CodeAreaSize + 1, 6), kEepDisk));
    m.dlg_.m_imageLoaded = 1;
    m.dlg_.m_fileType = 1;
    m.view_.filePathBox = c.file.empty() ? u"" : kExeDir + c.file;
    m.dlg_.OnFilePathKillFocus();
    EXPECT_EQ(m.dlg_.m_imageLoaded.load(), 0);
    EXPECT_EQ(m.dlg_.m_fileType, c.fileType);
    EXPECT_EQ(m.view_.Boxes(), std::vector<std::string>{c.box});
    EXPECT_EQ(m.view_.Last("status ", "-"), c.status);
    EXPECT_EQ(Held(Images().configImage, ConfigImageSize), kDeviceConfig);
    EXPECT_EQ(Images().codeLength, 0u);
    EXPECT_EQ(Images().diskLength, 0u);
  }
}

TEST_F(UpdaterTest, BrowseChecksTheLoweredExtensionAndTypingLoadsNothing) {
  WriteFile(u"FW.BIN", kBinCode);
  dlg_.OnBrowse(u"C:\\Updater\\FW.BIN");  // passes here, refused by the load
  EXPECT_EQ(view_.filePathBox, u"C:\\Updater\\FW.BIN");
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{kBadType});

  dlg_.m_imageLoaded = 1;
  dlg_.OnBrowse(u"C:\\fw.d\\notes");
  EXPECT_EQ(view_.filePathBox, u"C:\\fw.d\\notes");  // kept for the operator to mend
  EXPECT_EQ(view_.LastBox(), "ERROR: File Format is Invalid!\nPlease Select BIN or EEP file.");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);  // nothing was loaded

  view_.filePathBox = u"C:\\Updater\\FW.BIN";
  dlg_.OnFilePathChange();
  EXPECT_EQ(dlg_.m_filePath, u"C:\\Updater\\FW.BIN");
  EXPECT_EQ(view_.Boxes().size(), 2u);
}

}  // namespace
}  // namespace vx::testing
