#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "image/default_config_image.h"
#include "image/image_store.h"
#include "platform/linux/linux_platform.h"
#include "platform/platform.h"
#include "tests/image/failing_allocator.h"
#include "tests/image/temp_dir.h"

namespace vx {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Bytes that differ from their neighbours, so that misplaced copies show.
Bytes Pattern(std::size_t length, std::uint8_t seed) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) % 251);
  return bytes;
}

// An ".eep" file of fileSize bytes with the given header fields.
Bytes MakeEep(std::size_t fileSize, std::uint32_t codeLengthField, std::uint16_t checksumField) {
  Bytes file = Pattern(fileSize, 3);
  if (fileSize >= EepHeaderSize) {
    for (int i = 0; i < 4; ++i) file[524 + i] = static_cast<std::uint8_t>(codeLengthField >> (8 * i));
    file[528] = static_cast<std::uint8_t>(checksumField);
    file[529] = static_cast<std::uint8_t>(checksumField >> 8);
  }
  return file;
}

Bytes CodeOf(const ImageStore& store) { return Bytes(store.codeImage.get(), store.codeImage.get() + store.codeLength); }
Bytes DiskOf(const ImageStore& store) { return Bytes(store.diskImage.get(), store.diskImage.get() + store.diskLength); }
Bytes ConfigOf(const ImageStore& store) { return Bytes(store.configImage, store.configImage + ConfigImageSize); }

using testing::FailingAllocator;

class FirmwareFileTest : public ::testing::Test {
 protected:
  // A store holding a configuration, code and disk image from an earlier file.
  void FillStore() {
    const Bytes earlier = MakeEep(DiskImageFileOffset + 100, 40, 0x1234);
    ASSERT_TRUE(store_.LoadEepFile(dir_.Write("earlier.eep", earlier)));
    before_config_ = ConfigOf(store_);
  }
  void ExpectStoreAsFilled() {
    EXPECT_EQ(ConfigOf(store_), before_config_);
    EXPECT_EQ(store_.codeLength, 40u);
    EXPECT_EQ(store_.codeChecksum, 0x1234);
    EXPECT_EQ(store_.diskLength, 100u);
  }

  testing::TempDir dir_;
  platform::ScopedPlatform scoped_{platform::linux_backend::LinuxPlatform()};
  ImageStore store_;
  Bytes before_config_;
};

TEST_F(FirmwareFileTest, BinFileBecomesTheWholeCodeImage) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{CodeAreaSize}, std::size_t{9000}}) {
    SCOPED_TRACE(size);
    FillStore();
    const Bytes file = Pattern(size, 9);
    std::u16string details;
    ASSERT_TRUE(store_.LoadBinFile(dir_.Write("code.bin", file), details));
    EXPECT_EQ(details, u"");
    EXPECT_EQ(store_.codeLength, size);
    EXPECT_EQ(CodeOf(store_), file);
    EXPECT_EQ(store_.codeChecksum, CodeChecksum(file.data(), static_cast<std::uint32_t>(size)));
    // Configuration and disk image stay as the earlier file left them.
    EXPECT_EQ(ConfigOf(store_), before_config_);
    EXPECT_EQ(store_.diskLength, 100u);
  }
}

TEST_F(FirmwareFileTest, FailedBinLoadReportsWhyAndLeavesNoCodeImage) {
  std::filesystem::create_directory(dir_.Path() / "folder.bin");
  const struct {
    const char* name;
    std::u16string path;
    int allocations;  // served before the allocator runs dry
    std::u16string expected;
  } cases[] = {
      {"missing", dir_.PathOf("missing.bin"), 100, u"File open failed.\r\nFirmware transformation error.\r\n"},
      {"directory", dir_.PathOf("folder.bin"), 100, u"File open failed.\r\nFirmware transformation error.\r\n"},
      {"out of memory", dir_.Write("code.bin", Pattern(64, 1)), 0,
       u"Memory allocate error.\r\nFirmware transformation error.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillStore();
    std::u16string details = u"earlier line\r\n";  // appended to, never cleared
    {
      FailingAllocator allocator(c.allocations);
      EXPECT_FALSE(store_.LoadBinFile(c.path, details));
    }
    EXPECT_EQ(details, u"earlier line\r\n" + c.expected);
    EXPECT_EQ(store_.codeImage, nullptr);
    EXPECT_EQ(store_.codeLength, 0u);
    EXPECT_EQ(store_.codeChecksum, 0);
    EXPECT_EQ(ConfigOf(store_), before_config_);
    EXPECT_EQ(store_.diskLength, 100u);
  }
}

TEST_F(FirmwareFileTest, DetailsTextNeverGrowsPastItsRoom) {
  std::u16string details(kDetailsChars - 10, u'x');
  EXPECT_FALSE(store_.LoadBinFile(dir_.PathOf("missing.bin"), details));
  EXPECT_EQ(details.size(), kDetailsChars - 1);
  EXPECT_EQ(details.substr(kDetailsChars - 10), u"File open");
}

TEST_F(FirmwareFileTest, EepFileFillsAllThreeImages) {
  const struct {
    std::size_t fileSize;
    std::uint32_t codeLengthField;
    std::size_t expectedCode;
    std::size_t expectedDisk;
  } cases[] = {
      {536, 0xFFFFFFFF, 0, 0},  // header only: the length field is not looked at
      {537, 1, 1, 0},
      {1000, 0, 0, 0},
      {1000, 100, 100, 0},  // code shorter than the bytes that follow
      {10240, 10240 - 536, 10240 - 536, 0},
      {10241, 8192, 8192, 1},
      {10241, 10241 - 536, 10241 - 536, 1},  // code and disk image overlap in the file
      {20000, 10, 10, 20000 - 10240},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.fileSize << " bytes, length field " << c.codeLengthField);
    FillStore();
    const Bytes file = MakeEep(c.fileSize, c.codeLengthField, 0xBEEF);
    ASSERT_TRUE(store_.LoadEepFile(dir_.Write("image.eep", file)));

    EXPECT_EQ(ConfigOf(store_), Bytes(file.begin(), file.begin() + ConfigImageSize));
    EXPECT_EQ(store_.codeLength, c.expectedCode);
    EXPECT_EQ(CodeOf(store_), Bytes(file.begin() + EepHeaderSize, file.begin() + EepHeaderSize + c.expectedCode));
    EXPECT_EQ(store_.codeChecksum, c.expectedCode == 0 ? 0 : 0xBEEF);
    EXPECT_EQ(store_.codeImage == nullptr, c.expectedCode == 0);
    EXPECT_EQ(store_.diskLength, c.expectedDisk);
    EXPECT_EQ(DiskOf(store_), Bytes(file.end() - static_cast<std::ptrdiff_t>(c.expectedDisk), file.end()));
    EXPECT_EQ(store_.diskImage == nullptr, c.expectedDisk == 0);
  }
}

TEST_F(FirmwareFileTest, EepChecksumFieldIsTakenAsWritten) {
  const Bytes file = MakeEep(600, 64, 0x0001);
  ASSERT_TRUE(store_.LoadEepFile(dir_.Write("image.eep", file)));
  EXPECT_NE(CodeChecksum(store_.codeImage.get(), 64), 0x0001);
  EXPECT_EQ(store_.codeChecksum, 0x0001);
}

TEST_F(FirmwareFileTest, RefusedEepFileLeavesTheStoreUnchanged) {
  std::filesystem::create_directory(dir_.Path() / "folder.eep");
  const struct {
    const char* name;
    std::u16string path;
    int allocations;
  } cases[] = {
      {"missing", dir_.PathOf("missing.eep"), 100},
      {"directory", dir_.PathOf("folder.eep"), 100},
      {"empty", dir_.Write("empty.eep", {}), 100},
      {"header cut short", dir_.Write("short.eep", MakeEep(535, 0, 0)), 100},
      {"code length one past the end", dir_.Write("past.eep", MakeEep(537, 2, 0)), 100},
      {"code length at the type's limit", dir_.Write("huge.eep", MakeEep(10241, 0xFFFFFFFF, 0)), 100},
      {"no memory for the file", dir_.Write("a.eep", MakeEep(10241, 8, 0)), 0},
      {"no memory for the code", dir_.Write("b.eep", MakeEep(10241, 8, 0)), 1},
      {"no memory for the disk image", dir_.Write("c.eep", MakeEep(10241, 8, 0)), 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillStore();
    FailingAllocator allocator(c.allocations);
    EXPECT_FALSE(store_.LoadEepFile(c.path));
    ExpectStoreAsFilled();
  }
}

}  // namespace
}  // namespace vx
