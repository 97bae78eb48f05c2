#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "image/image_store.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"
#include "tests/image/failing_allocator.h"

namespace vx {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::FailingAllocator;

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// Bytes that differ from their neighbours, so that misplaced copies show.
Bytes Pattern(std::size_t length) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251);
  return bytes;
}

// An ".eep" file of fileSize bytes with the given header fields.
Bytes MakeEep(std::size_t fileSize, std::uint32_t codeLengthField, std::uint16_t checksumField) {
  Bytes file = Pattern(fileSize);
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

// How a file misbehaves, and how many buffers the allocator serves meanwhile.
struct Trouble {
  bool openFails = false;
  bool readFails = false;
  std::optional<std::uint64_t> reportedSize = std::nullopt;
  int allocations = 100;
};

class FirmwareFileTest : public ::testing::Test {
 protected:
  std::u16string Write(const Bytes& bytes, const Trouble& trouble = {}) {
    const std::u16string path = u"C:\\fw\\image" + std::u16string(1, static_cast<char16_t>(u'a' + files_++));
    sim_.Files().Write(path, bytes);
    platform::sim::SimFileFaults faults;
    faults.openFails = trouble.openFails;
    faults.readFails = trouble.readFails;
    faults.reportedSize = trouble.reportedSize;
    sim_.Files().SetFaults(path, faults);
    return path;
  }

  // A store holding a configuration, code and disk image from an earlier file.
  void FillStore() {
    ASSERT_TRUE(store_.LoadEepFile(Write(MakeEep(DiskImageFileOffset + 100, 40, 0x1234))));
    filledConfig_ = ConfigOf(store_);
  }

  platform::sim::SimPlatform sim_;
  platform::ScopedPlatform scoped_{sim_.Apis()};
  ImageStore store_;
  Bytes filledConfig_;
  int files_ = 0;
};

TEST_F(FirmwareFileTest, BinFileBecomesTheWholeCodeImage) {
  for (std::size_t size : {0, 1, 9000}) {
    SCOPED_TRACE(size);
    FillStore();
    const Bytes file = Pattern(size);
    const std::u16string path = Write(file);
    platform::sim::SimFileFaults pieces;
    pieces.readLimit = 7;  // delivered a few bytes per request
    sim_.Files().SetFaults(path, pieces);
    std::u16string details;
    ASSERT_TRUE(store_.LoadBinFile(path, details));
    EXPECT_EQ(details, u"");
    EXPECT_EQ(CodeOf(store_), file);
    EXPECT_EQ(store_.codeChecksum, CodeChecksum(file.data(), static_cast<std::uint32_t>(size)));
    // Configuration and disk image stay as the earlier file left them.
    EXPECT_EQ(ConfigOf(store_), filledConfig_);
    EXPECT_EQ(store_.diskLength, 100u);
  }
}

TEST_F(FirmwareFileTest, FailedBinLoadReportsWhyAndLeavesNoCodeImage) {
  const struct {
    const char* name;
    Trouble trouble;
    std::u16string reason;
  } cases[] = {
      {"open fails", {.openFails = true}, u"File open failed.\r\n"},
      {"exactly 4 GiB", {.reportedSize = k4GiB}, u"File too large.\r\n"},
      {"more than 4 GiB", {.reportedSize = k4GiB * 3}, u"File too large.\r\n"},
      {"no memory for 4 GiB - 1", {.reportedSize = k4GiB - 1, .allocations = 0}, u"Memory allocate error.\r\n"},
      {"read fails", {.readFails = true}, u"File read fail.\r\n"},
      {"file ends before its size", {.reportedSize = 65}, u"File read fail.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillStore();
    const std::u16string path = Write(Pattern(64), c.trouble);
    std::u16string details = u"earlier line\r\n";  // appended to, never cleared
    {
      FailingAllocator allocator(c.trouble.allocations);
      EXPECT_FALSE(store_.LoadBinFile(path, details));
    }
    EXPECT_EQ(details, u"earlier line\r\n" + c.reason + u"Firmware transformation error.\r\n");
    EXPECT_EQ(store_.codeImage, nullptr);
    EXPECT_EQ(store_.codeLength, 0u);
    EXPECT_EQ(store_.codeChecksum, 0);
    EXPECT_EQ(ConfigOf(store_), filledConfig_);
    EXPECT_EQ(store_.diskLength, 100u);
    EXPECT_EQ(sim_.Files().OpenCount(), 0u);
  }
}

TEST_F(FirmwareFileTest, DetailsTextNeverGrowsPastItsRoom) {
  std::u16string details(kDetailsChars - 10, u'x');
  EXPECT_FALSE(store_.LoadBinFile(u"C:\\missing.bin", details));
  EXPECT_EQ(details.size(), kDetailsChars - 1);
  EXPECT_EQ(details.substr(kDetailsChars - 10), u"File open");
}

TEST_F(FirmwareFileTest, EepFileFillsAllThreeImages) {
  const struct {
    std::size_t fileSize;
    std::uint32_t codeLengthField;
    std::size_t code;
    std::size_t disk;
  } cases[] = {
      {536, 0xFFFFFFFF, 0, 0},  // header only: the length field is not looked at
      {537, 1, 1, 0},
      {1000, 0, 0, 0},
      {1000, 100, 100, 0},  // code shorter than the bytes that follow
      {10240, 10240 - 536, 10240 - 536, 0},
      {10241, 8192, 8192, 1},
      {10241, 10241 - 536, 10241 - 536, 1},  // code and disk image overlap in the file
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.fileSize << " bytes, length field " << c.codeLengthField);
    FillStore();
    const Bytes file = MakeEep(c.fileSize, c.codeLengthField, 0xBEEF);
    ASSERT_TRUE(store_.LoadEepFile(Write(file)));

    EXPECT_EQ(ConfigOf(store_), Bytes(file.begin(), file.begin() + ConfigImageSize));
    EXPECT_EQ(CodeOf(store_), Bytes(file.begin() + EepHeaderSize, file.begin() + EepHeaderSize + c.code));
    EXPECT_EQ(store_.codeImage == nullptr, c.code == 0);
    // The checksum field is taken as written, not recomputed.
    EXPECT_EQ(store_.codeChecksum, c.code == 0 ? 0 : 0xBEEF);
    EXPECT_EQ(DiskOf(store_), Bytes(file.end() - static_cast<std::ptrdiff_t>(c.disk), file.end()));
    EXPECT_EQ(store_.diskImage == nullptr, c.disk == 0);
  }
}

TEST_F(FirmwareFileTest, RefusedEepFileLeavesTheStoreUnchanged) {
  const struct {
    const char* name;
    Bytes file;
    Trouble trouble;
  } cases[] = {
      {"open fails", MakeEep(600, 8, 0), {.openFails = true}},
      {"4 GiB", MakeEep(600, 8, 0), {.reportedSize = k4GiB}},
      {"read fails", MakeEep(600, 8, 0), {.readFails = true}},
      {"empty", {}, {}},
      {"header cut short", MakeEep(535, 0, 0), {}},
      {"code length one past the end", MakeEep(537, 2, 0), {}},
      {"code length at the type's limit", MakeEep(10241, 0xFFFFFFFF, 0), {}},
      {"no memory for the file", MakeEep(10241, 8, 0), {.allocations = 0}},
      {"no memory for the code", MakeEep(10241, 8, 0), {.allocations = 1}},
      {"no memory for the disk image", MakeEep(10241, 8, 0), {.allocations = 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillStore();
    const std::u16string path = Write(c.file, c.trouble);
    {
      FailingAllocator allocator(c.trouble.allocations);
      EXPECT_FALSE(store_.LoadEepFile(path));
    }
    EXPECT_EQ(ConfigOf(store_), filledConfig_);
    EXPECT_EQ(store_.codeLength, 40u);
    EXPECT_EQ(store_.codeChecksum, 0x1234);
    EXPECT_EQ(store_.diskLength, 100u);
    EXPECT_EQ(sim_.Files().OpenCount(), 0u);
  }
}

}  // namespace
}  // namespace vx
