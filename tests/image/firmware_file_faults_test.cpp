#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "image/default_config_image.h"
#include "image/image_store.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"
#include "tests/image/failing_allocator.h"

namespace vx {
namespace {

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;
constexpr char16_t kPath[] = u"C:\\fw\\image.eep";

class FirmwareFileFaultTest : public ::testing::Test {
 protected:
  FirmwareFileFaultTest() { sim_.Files().Write(kPath, std::string(12000, '\x5A')); }

  platform::sim::SimPlatform sim_;
  platform::ScopedPlatform scoped_{sim_.Apis()};
};

TEST_F(FirmwareFileFaultTest, EachFailureIsReportedOnceAndClosesTheFile) {
  const struct {
    const char* name;
    bool openFails;
    bool readFails;
    std::optional<std::uint64_t> reportedSize;
    int allocations;
    std::u16string expected;
  } cases[] = {
      {"open fails", true, false, {}, 100, u"File open failed.\r\n"},
      {"exactly 4 GiB", false, false, k4GiB, 100, u"File too large.\r\n"},
      {"more than 4 GiB", false, false, k4GiB * 3 + 5, 100, u"File too large.\r\n"},
      {"no memory for 4 GiB - 1", false, false, k4GiB - 1, 0, u"Memory allocate error.\r\n"},
      {"read fails", false, true, {}, 100, u"File read fail.\r\n"},
      {"file ends before its size", false, false, 12001, 100, u"File read fail.\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    platform::sim::SimFileFaults faults;
    faults.openFails = c.openFails;
    faults.readFails = c.readFails;
    faults.reportedSize = c.reportedSize;
    ASSERT_TRUE(sim_.Files().SetFaults(kPath, faults));
    testing::FailingAllocator allocator(c.allocations);

    std::u16string details;
    const FileBuffer file = ReadFirmwareFile(kPath, &details);
    EXPECT_EQ(file.bytes, nullptr);
    EXPECT_EQ(file.length, 0u);
    EXPECT_EQ(details, c.expected);
    EXPECT_EQ(ReadFirmwareFile(kPath, nullptr).bytes, nullptr);

    ImageStore store;
    EXPECT_FALSE(store.LoadEepFile(kPath));
    EXPECT_EQ(std::memcmp(store.configImage, kDefaultConfigImage, ConfigImageSize), 0);
    EXPECT_EQ(store.codeImage, nullptr);
    EXPECT_EQ(store.diskImage, nullptr);
    EXPECT_EQ(sim_.Files().OpenCount(), 0u);
  }
}

TEST_F(FirmwareFileFaultTest, FileDeliveredInPiecesIsReadWhole) {
  platform::sim::SimFileFaults faults;
  faults.readLimit = 7;
  ASSERT_TRUE(sim_.Files().SetFaults(kPath, faults));
  std::u16string details;
  const FileBuffer file = ReadFirmwareFile(kPath, &details);
  ASSERT_NE(file.bytes, nullptr);
  EXPECT_EQ(file.length, 12000u);
  EXPECT_EQ(file.bytes[0], 0x5A);
  EXPECT_EQ(file.bytes[11999], 0x5A);
  EXPECT_EQ(details, u"");
  EXPECT_EQ(sim_.Files().OpenCount(), 0u);
}

}  // namespace
}  // namespace vx
