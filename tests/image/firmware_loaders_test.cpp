#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "image/image_buffer.h"
#include "image/image_store.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"
#include "tests/support/test_bytes.h"

namespace vx {
namespace {

using test::Bytes;
using test::Pattern;

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

// Runs the image buffer allocator dry while it lives: the first `succeed`
// allocations are served, every later one fails.
class FailingAllocator {
 public:
  explicit FailingAllocator(int succeed) : previous_(SetImageAllocator(&Allocate)) { remaining_ = succeed; }
  ~FailingAllocator() { SetImageAllocator(previous_); }

 private:
  static ImageBuffer Allocate(std::size_t length) {
    return remaining_-- > 0 ? ImageBuffer(new std::uint8_t[length]) : nullptr;
  }
  static inline int remaining_ = 0;
  ImageAllocator previous_;
};

// How a file misbehaves, and how many buffers the allocator serves meanwhile.
struct Trouble {
  bool openFails = false, readFails = false;
  std::optional<std::uint64_t> reportedSize = std::nullopt;
  std::optional<std::uint32_t> readLimit = std::nullopt;
  int allocations = 100;
};

// An ".eep" file of fileSize bytes with its code length field; every
// checksum field says 0xBEEF, which is not the sum of the code.
Bytes MakeEep(std::size_t fileSize, std::uint32_t codeLengthField) {
  Bytes file = Pattern(fileSize);
  if (fileSize >= EepHeaderSize) {
    for (int i = 0; i < 4; ++i) file[524 + i] = static_cast<std::uint8_t>(codeLengthField >> (8 * i));
    file[528] = 0xEF;
    file[529] = 0xBE;
  }
  return file;
}

Bytes View(const std::uint8_t* bytes, std::size_t length) { return Bytes(bytes, bytes + length); }

class FirmwareFileTest : public ::testing::Test {
 protected:
  // Fills the store from an earlier file: a configuration, 40 code bytes with
  // checksum 0x1234 and 100 disk bytes.
  void FillStore() {
    Bytes earlier = MakeEep(DiskImageFileOffset + 100, 40);
    earlier[528] = 0x34;
    earlier[529] = 0x12;
    ASSERT_TRUE(store_.LoadEepFile(Write(earlier)));
    earlierConfig_ = View(store_.configImage, ConfigImageSize);
  }

  std::u16string Write(const Bytes& bytes, const Trouble& trouble = {}) {
    const std::u16string path = u"C:\\fw\\image" + std::u16string(1, static_cast<char16_t>(u'a' + files_++));
    sim_.Files().Write(path, bytes);
    sim_.Files().SetFaults(path, {trouble.openFails, trouble.readFails, trouble.reportedSize, trouble.readLimit});
    return path;
  }

  platform::sim::SimPlatform sim_;
  platform::ScopedPlatform scoped_{sim_.Apis()};
  ImageStore store_;
  Bytes earlierConfig_;
  int files_ = 0;
};

// The whole file becomes the code image, read in as many pieces as the
// platform hands out. A failure appends its reason and leaves no code image;
// configuration and disk image stay as they were either way.
TEST_F(FirmwareFileTest, BinFileBecomesTheCodeImageOrSaysWhyNot) {
  const struct {
    const char* name;
    std::size_t size;
    Trouble trouble;
    std::u16string reason;  // empty: loaded
  } cases[] = {
      {"empty", 0, {}, u""},
      {"one byte", 1, {.readLimit = 7}, u""},
      {"9000 bytes", 9000, {.readLimit = 7}, u""},
      {"open fails", 64, {.openFails = true}, u"File open failed.\r\n"},
      {"exactly 4 GiB", 64, {.reportedSize = k4GiB}, u"File too large.\r\n"},
      {"more than 4 GiB", 64, {.reportedSize = k4GiB * 3}, u"File too large.\r\n"},
      {"no memory for 4 GiB - 1", 64, {.reportedSize = k4GiB - 1, .allocations = 0}, u"Memory allocate error.\r\n"},
      {"read fails", 64, {.readFails = true}, u"File read fail.\r\n"},
      {"file ends before its size", 64, {.reportedSize = 65}, u"File read fail.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillStore();
    const Bytes file = Pattern(c.size);
    const std::u16string path = Write(file, c.trouble);
    std::u16string details = u"earlier line\r\n";  // appended to, never cleared
    FailingAllocator allocator(c.trouble.allocations);
    const bool loaded = store_.LoadBinFile(path, details);
    EXPECT_EQ(loaded, c.reason.empty());
    EXPECT_EQ(details, u"earlier line\r\n" + (loaded ? u"" : c.reason + u"Firmware transformation error.\r\n"));
    EXPECT_EQ(View(store_.codeImage.get(), store_.codeLength), loaded ? file : Bytes{});
    EXPECT_EQ(store_.codeImage == nullptr, store_.codeLength == 0);
    EXPECT_EQ(store_.codeChecksum, CodeChecksum(file.data(), loaded ? static_cast<std::uint32_t>(c.size) : 0));
    EXPECT_EQ(View(store_.configImage, ConfigImageSize), earlierConfig_);
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

// An accepted file fills all three images: configuration from its start,
// code after the header as long as its length field says (the checksum field
// taken as written), disk image from 10240 to the end. A refused one leaves
// the store unchanged.
TEST_F(FirmwareFileTest, EepFileFillsAllThreeImagesOrNone) {
  const struct {
    const char* name;
    Bytes file;
    bool loaded;
    std::size_t code = 0, disk = 0;
    Trouble trouble = {};
  } cases[] = {
      {"header only: the length field is not looked at", MakeEep(536, 0xFFFFFFFF), true},
      {"one code byte", MakeEep(537, 1), true, 1},
      {"no code", MakeEep(1000, 0), true},
      {"code shorter than the bytes that follow", MakeEep(1000, 100), true, 100},
      {"code up to the disk image", MakeEep(10240, 10240 - 536), true, 10240 - 536},
      {"one disk byte", MakeEep(10241, 8192), true, 8192, 1},
      {"code and disk image overlap", MakeEep(10241, 10241 - 536), true, 10241 - 536, 1},
      {"open fails", MakeEep(600, 8), false, 0, 0, {.openFails = true}},
      {"4 GiB", MakeEep(600, 8), false, 0, 0, {.reportedSize = k4GiB}},
      {"read fails", MakeEep(600, 8), false, 0, 0, {.readFails = true}},
      {"empty", {}, false},
      {"header cut short", MakeEep(535, 0), false},
      {"code length one past the end", MakeEep(537, 2), false},
      {"code length at the type's limit", MakeEep(10241, 0xFFFFFFFF), false},
      {"no memory for the file", MakeEep(10241, 8), false, 0, 0, {.allocations = 0}},
      {"no memory for the code", MakeEep(10241, 8), false, 0, 0, {.allocations = 1}},
      {"no memory for the disk image", MakeEep(10241, 8), false, 0, 0, {.allocations = 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FillStore();
    const std::u16string path = Write(c.file, c.trouble);
    FailingAllocator allocator(c.trouble.allocations);
    const bool loaded = store_.LoadEepFile(path);
    EXPECT_EQ(loaded, c.loaded);
    EXPECT_EQ(sim_.Files().OpenCount(), 0u);
    if (!loaded) {
      EXPECT_EQ(View(store_.configImage, ConfigImageSize), earlierConfig_);
      EXPECT_EQ(store_.codeLength, 40u);
      EXPECT_EQ(store_.codeChecksum, 0x1234);
      EXPECT_EQ(store_.diskLength, 100u);
      continue;
    }
    const std::uint8_t* file = c.file.data();
    EXPECT_EQ(View(store_.configImage, ConfigImageSize), View(file, ConfigImageSize));
    EXPECT_EQ(View(store_.codeImage.get(), store_.codeLength), View(file + EepHeaderSize, c.code));
    EXPECT_EQ(store_.codeImage == nullptr, c.code == 0);
    EXPECT_EQ(store_.codeChecksum, c.code == 0 ? 0 : 0xBEEF);
    EXPECT_EQ(View(store_.diskImage.get(), store_.diskLength), View(file + c.file.size() - c.disk, c.disk));
    EXPECT_EQ(store_.diskImage == nullptr, c.disk == 0);
  }
}

}  // namespace
}  // namespace vx
