// Loading the firmware file from the file box and through the browse
// handler: which loader runs, what the store holds afterwards, and what the
// operator is told.
#include <gtest/gtest.h>

#include <cstring>

#include "image/default_config_image.h"
#include "tests/app/updater_fixture.h"

namespace vx {
namespace {

using testing::Bytes;
using testing::MakeEep;
using testing::Pattern;

class FirmwareLoadTest : public testing::UpdaterFixture {
 protected:
  void LoadFromBox(std::u16string_view name) {
    view_.TypeFilePath(name.empty() ? u"" : std::u16string(testing::kExeDir) + std::u16string(name));
    dlg_.OnFilePathKillFocus();
  }
  static Bytes StoredConfig() { return Bytes(Images().configImage, Images().configImage + ConfigImageSize); }
  static Bytes StoredCode() {
    const ImageStore& store = Images();
    return store.codeImage ? Bytes(store.codeImage.get(), store.codeImage.get() + store.codeLength) : Bytes{};
  }
};

TEST_F(FirmwareLoadTest, BinReplacesTheCodeAndEepAllThreeImages) {
  const Bytes config = Pattern(512, 9);
  Images().SetConfigImage(config.data());
  WriteFile(u"new.bin", Pattern(5000, 1));
  LoadFromBox(u"new.bin");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
  EXPECT_EQ(StoredCode(), Pattern(5000, 1));
  EXPECT_EQ(StoredConfig(), config);
  EXPECT_EQ(view_.Events(), (std::vector<std::string>{"scroll", "status Main code loaded!"}));

  WriteFile(u"new.eep", MakeEep(Pattern(512, 3), Pattern(4096, 4), Pattern(3000, 5)));
  LoadFromBox(u"new.eep");
  EXPECT_EQ(dlg_.m_fileType, 1);
  EXPECT_EQ(StoredConfig(), Pattern(512, 3));
  EXPECT_EQ(StoredCode(), Pattern(4096, 4));
  EXPECT_EQ(Bytes(Images().diskImage.get(), Images().diskImage.get() + Images().diskLength), Pattern(3000, 5));
}

struct LoadFailure {
  const char* name;
  std::u16string file;
  std::string box;
  std::string status;
  std::int32_t fileType;
};

void PrintTo(const LoadFailure& c, std::ostream* os) { *os << c.name; }

class LoadFailureTest : public FirmwareLoadTest, public ::testing::WithParamInterface<LoadFailure> {};

TEST_P(LoadFailureTest, RefusesWithItsOwnMessage) {
  const LoadFailure& c = GetParam();
  const Bytes configBefore = Pattern(512, 7);
  Images().SetConfigImage(configBefore.data());
  for (const char16_t* name : {u"notes.txt.eep", u"FW.BIN", u"fw.Eep"}) WriteFile(name, MakeEep(Pattern(512, 8), {}));
  WriteFile(u"long.bin", Pattern(CodeAreaSize + 1, 6));
  dlg_.m_imageLoaded = 1;

  LoadFromBox(c.file);
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
  EXPECT_EQ(dlg_.m_fileType, c.fileType);
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{c.box});
  EXPECT_EQ(view_.Status(), c.status);
  EXPECT_EQ(StoredConfig(), configBefore);
  EXPECT_EQ(Images().codeLength, 0u);
}

const std::string kTooLong = "The code image is 8193 bytes long; the code area holds at most 8192 bytes.";
const std::string kBadType = "ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW.";

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadFailureTest,
    ::testing::Values(LoadFailure{"MissingBin", u"none.bin", "Error: Load BIN file error!!!",
                                  "File open failed.\r\nFirmware transformation error.\r\n", 0},
                      // A failed ".eep" load has no details: the status line is emptied.
                      LoadFailure{"MissingEep", u"none.eep", "Error: Load EEP file error!!!", "", 1},
                      LoadFailure{"TxtInEepPath", u"notes.txt.eep", "Error: Load EEP file error!!!", "", 1},
                      LoadFailure{"UpperCaseBin", u"FW.BIN", kBadType, "Ready", -1},
                      LoadFailure{"MixedCaseEep", u"fw.Eep", kBadType, "Ready", -1},
                      LoadFailure{"CodeLongerThanTheCodeArea", u"long.bin", "Error: " + kTooLong, kTooLong, 0}),
    [](const ::testing::TestParamInfo<LoadFailure>& info) { return info.param.name; });

TEST_F(FirmwareLoadTest, CodeFillingTheCodeAreaExactlyLoads) {
  WriteFile(u"full.bin", Pattern(CodeAreaSize, 6));
  LoadFromBox(u"full.bin");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
}

TEST_F(FirmwareLoadTest, RefusedEepLeavesNothingOfItInTheStore) {
  WriteFile(u"long.eep", MakeEep(Pattern(512, 2), Pattern(9000, 3), Pattern(1024, 4)));
  LoadFromBox(u"long.eep");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
  EXPECT_EQ(0, std::memcmp(Images().configImage, kDefaultConfigImage, ConfigImageSize));
  EXPECT_EQ(Images().codeLength, 0u);
  EXPECT_EQ(Images().diskLength, 0u);
}

TEST_F(FirmwareLoadTest, EmptyPathKeepsTheEarlierFileType) {
  dlg_.m_fileType = 1;
  LoadFromBox(u"");
  EXPECT_EQ(dlg_.m_fileType, 1);
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"Error: Load EEP file error!!!"});
}

TEST_F(FirmwareLoadTest, BrowseChecksTheLoweredExtensionAndKeepsARefusedPath) {
  WriteFile(u"FW.BIN", Pattern(100, 1));
  dlg_.OnBrowse(u"C:\\Updater\\FW.BIN");  // passes here, refused by the load
  EXPECT_EQ(view_.FilePathBox(), "C:\\Updater\\FW.BIN");
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{kBadType});

  dlg_.m_imageLoaded = 1;
  dlg_.OnBrowse(u"C:\\fw.d\\notes");
  EXPECT_EQ(view_.FilePathBox(), "C:\\fw.d\\notes");
  EXPECT_EQ(view_.LastBox(), "ERROR: File Format is Invalid!\nPlease Select BIN or EEP file.");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);  // nothing was loaded
  // Leaving the file box later loads it, and the load reports its own error.
  dlg_.OnFilePathKillFocus();
  EXPECT_EQ(view_.LastBox(), kBadType);
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
}

TEST_F(FirmwareLoadTest, TypingChangesNothingUntilTheBoxIsLeft) {
  WriteFile(u"a.bin", Pattern(100, 1));
  view_.ShowValues(u"", u"1234");
  view_.TypeFilePath(u"C:\\Updater\\a.bin");
  dlg_.m_checksumText = u"stale";
  dlg_.OnFilePathChange();
  EXPECT_EQ(dlg_.m_filePath, u"C:\\Updater\\a.bin");
  EXPECT_EQ(dlg_.m_checksumText, u"1234");  // taken again from the checksum box
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
}

}  // namespace
}  // namespace vx
