// Loading the firmware file from the file box and through the browse
// handler: which loader runs, what the store holds afterwards, and what the
// operator is told.
#include <gtest/gtest.h>

#include <cstring>

#include "app/updater_dlg.h"
#include "image/image_store.h"
#include "platform/sim/sim_platform.h"
#include "tests/app/firmware_files.h"
#include "tests/app/recording_view.h"

namespace vx {
namespace {

using testing::Bytes;
using testing::MakeEep;
using testing::Pattern;
using testing::RecordingView;

class FirmwareLoadTest : public ::testing::Test {
 protected:
  FirmwareLoadTest() { Images().ResetImages(); }

  void Put(std::u16string_view path, const Bytes& bytes) { sim_.Files().Write(path, bytes); }

  // Types path into the file box and leaves it.
  void LoadFromBox(std::u16string_view path) {
    view_.TypeFilePath(path);
    dlg_.OnFilePathKillFocus();
  }

  Bytes StoredConfig() const { return Bytes(Images().configImage, Images().configImage + ConfigImageSize); }
  Bytes StoredCode() const {
    const ImageStore& store = Images();
    return store.codeImage ? Bytes(store.codeImage.get(), store.codeImage.get() + store.codeLength) : Bytes{};
  }

  platform::sim::SimPlatform sim_;
  platform::ScopedPlatform scoped_{sim_.Apis()};
  RecordingView view_;
  CVX94C6FWUpdaterDlg dlg_{view_};
};

TEST_F(FirmwareLoadTest, BinFileReplacesTheCodeOnly) {
  const Bytes config = Pattern(512, 9);
  Images().SetConfigImage(config.data());
  const Bytes code = Pattern(5000, 1);
  Put(u"C:\\fw\\new.bin", code);

  LoadFromBox(u"C:\\fw\\new.bin");

  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
  EXPECT_EQ(dlg_.m_fileType, 0);
  EXPECT_EQ(StoredCode(), code);
  EXPECT_EQ(StoredConfig(), config);
  EXPECT_EQ(view_.Status(), "Main code loaded!");
  EXPECT_EQ(view_.Events().front(), "scroll");
  EXPECT_TRUE(view_.Boxes().empty());
}

TEST_F(FirmwareLoadTest, EepFileReplacesAllThreeImages) {
  const Bytes config = Pattern(512, 3);
  const Bytes code = Pattern(4096, 4);
  const Bytes disk = Pattern(3000, 5);
  Put(u"C:\\fw\\new.eep", MakeEep(config, code, disk));

  LoadFromBox(u"C:\\fw\\new.eep");

  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
  EXPECT_EQ(dlg_.m_fileType, 1);
  EXPECT_EQ(StoredConfig(), config);
  EXPECT_EQ(StoredCode(), code);
  ASSERT_EQ(Images().diskLength, disk.size());
  EXPECT_EQ(0, std::memcmp(Images().diskImage.get(), disk.data(), disk.size()));
}

struct LoadFailureCase {
  const char* name;
  std::u16string path;
  bool fileExists;
  std::string box;
  std::string status;
  std::int32_t fileType;
};

void PrintTo(const LoadFailureCase& c, std::ostream* os) { *os << c.name; }

class LoadFailureTest : public FirmwareLoadTest, public ::testing::WithParamInterface<LoadFailureCase> {};

TEST_P(LoadFailureTest, RefusesWithItsOwnMessage) {
  const LoadFailureCase& c = GetParam();
  const Bytes configBefore = Pattern(512, 7);
  Images().SetConfigImage(configBefore.data());
  if (c.fileExists) Put(c.path, MakeEep(Pattern(512, 8), Pattern(100, 8)));
  dlg_.m_imageLoaded = 1;

  LoadFromBox(c.path);

  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
  EXPECT_EQ(dlg_.m_fileType, c.fileType);
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{c.box});
  EXPECT_EQ(view_.Status(), c.status);
  // A refused ".eep" leaves the configuration image as it was.
  EXPECT_EQ(StoredConfig(), configBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadFailureTest,
    ::testing::Values(
        LoadFailureCase{"MissingBin", u"C:\\fw\\none.bin", false, "Error: Load BIN file error!!!",
                        "File open failed.\r\nFirmware transformation error.\r\n", 0},
        // A failed ".eep" load has no details: the status line is emptied.
        LoadFailureCase{"MissingEep", u"C:\\fw\\none.eep", false, "Error: Load EEP file error!!!", "", 1},
        LoadFailureCase{"TxtInEepPath", u"C:\\fw\\notes.txt.eep", true, "Error: Load EEP file error!!!", "", 1},
        LoadFailureCase{"UpperCaseBin", u"C:\\fw\\FW.BIN", true,
                        "ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW.", "Ready", -1},
        LoadFailureCase{"MixedCaseEep", u"C:\\fw\\fw.Eep", true,
                        "ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW.", "Ready", -1}),
    [](const ::testing::TestParamInfo<LoadFailureCase>& info) { return info.param.name; });

TEST_F(FirmwareLoadTest, FailedBinLoadLeavesNoCodeImage) {
  const Bytes deviceCode = Pattern(CodeAreaSize, 2);
  Images().SetCodeImage(deviceCode.data());
  LoadFromBox(u"C:\\fw\\none.bin");
  EXPECT_EQ(Images().codeLength, 0u);
  EXPECT_FALSE(Images().codeImage);
}

TEST_F(FirmwareLoadTest, EmptyPathKeepsTheEarlierFileType) {
  dlg_.m_fileType = 1;
  LoadFromBox(u"");
  EXPECT_EQ(dlg_.m_fileType, 1);
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"Error: Load EEP file error!!!"});
}

TEST_F(FirmwareLoadTest, CodeFillingTheCodeAreaExactlyLoads) {
  Put(u"C:\\fw\\full.bin", Pattern(CodeAreaSize, 6));
  LoadFromBox(u"C:\\fw\\full.bin");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
  EXPECT_EQ(Images().codeLength, CodeAreaSize);
}

TEST_F(FirmwareLoadTest, BinLongerThanTheCodeAreaIsRefused) {
  Put(u"C:\\fw\\long.bin", Pattern(CodeAreaSize + 1, 6));
  LoadFromBox(u"C:\\fw\\long.bin");

  const std::string text = "The code image is 8193 bytes long; the code area holds at most 8192 bytes.";
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"Error: " + text});
  EXPECT_EQ(view_.Status(), text);
  EXPECT_EQ(Images().codeLength, 0u);
}

TEST_F(FirmwareLoadTest, EepWithTooLongCodeLeavesNothingOfItInTheStore) {
  const Bytes configBefore = Pattern(512, 1);
  Images().SetConfigImage(configBefore.data());
  Put(u"C:\\fw\\long.eep", MakeEep(Pattern(512, 2), Pattern(9000, 3), Pattern(1024, 4)));

  LoadFromBox(u"C:\\fw\\long.eep");

  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
  EXPECT_EQ(StoredConfig(), configBefore);
  EXPECT_EQ(Images().codeLength, 0u);
  EXPECT_EQ(Images().diskLength, 0u);
  EXPECT_FALSE(Images().diskImage);
}

TEST_F(FirmwareLoadTest, BrowseAcceptsUpperCaseExtensionThenLoadRefusesIt) {
  Put(u"C:\\fw\\FW.BIN", Pattern(100, 1));
  dlg_.OnBrowse(u"C:\\fw\\FW.BIN");
  EXPECT_EQ(view_.FilePathBox(), "C:\\fw\\FW.BIN");
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW."});
}

TEST_F(FirmwareLoadTest, BrowseRefusesOtherExtensionsButKeepsThePath) {
  Put(u"C:\\fw.d\\notes", Pattern(100, 1));
  dlg_.m_imageLoaded = 1;
  dlg_.OnBrowse(u"C:\\fw.d\\notes");

  EXPECT_EQ(view_.FilePathBox(), "C:\\fw.d\\notes");
  EXPECT_EQ(view_.Boxes(), std::vector<std::string>{"ERROR: File Format is Invalid!\nPlease Select BIN or EEP file."});
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);  // nothing was loaded

  // Leaving the file box later loads it, and the load reports its own error.
  dlg_.OnFilePathKillFocus();
  EXPECT_EQ(view_.LastBox(), "ERROR: File Format is Invalid!\nPlease Select BIN/EEP code for FW.");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
}

TEST_F(FirmwareLoadTest, BrowseLoadsABinFile) {
  Put(u"C:\\fw\\a.bin", Pattern(100, 1));
  dlg_.OnBrowse(u"C:\\fw\\a.bin");
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 1);
  EXPECT_EQ(view_.Status(), "Main code loaded!");
}

TEST_F(FirmwareLoadTest, TypingChangesNothingUntilTheBoxIsLeft) {
  Put(u"C:\\fw\\a.bin", Pattern(100, 1));
  view_.ShowValues(u"", u"1234");
  view_.TypeFilePath(u"C:\\fw\\a.bin");
  dlg_.m_checksumText = u"stale";
  dlg_.OnFilePathChange();

  EXPECT_EQ(dlg_.m_filePath, u"C:\\fw\\a.bin");
  EXPECT_EQ(dlg_.m_checksumText, u"1234");  // taken again from the checksum box
  EXPECT_EQ(dlg_.m_imageLoaded.load(), 0);
  EXPECT_EQ(Images().codeLength, 0u);
}

}  // namespace
}  // namespace vx
