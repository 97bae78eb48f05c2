#include "discovery/chip_info_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace vx::testing {
namespace {

using Block = std::array<std::uint8_t, kChipInfoBytes>;

TEST(ChipInfoRules, StoresEachFieldFromTheFirstBlockThatGivesIt) {
  struct Stored { bool disk; Block block; };
  struct Case {
    const char* name;
    std::vector<Stored> blocks;
    std::uint16_t vendor, product;
    std::uint32_t version;
    std::uint16_t word8, word12;
  };
  const Case cases[] = {
      {"disk, version as BCD for 0x94C1",
       {{true, {0x1B, 0x7E, 0x94, 0xC1, 0x01, 0x02, 0x0A, 0x63, 0, 0x08, 0, 0, 0x12, 0x34, 0, 0}}},
       0x1B7E, 0x94C1, 0x01021099, 0x0008, 0x1234},
      // 255 -> 25*16+5 = 0x195 -> 0x95 (nothing carried into the byte before); 99 -> 0x99; 100 -> 0xA0
      {"disk, BCD kept to eight bits a byte",
       {{true, {0, 0, 0x94, 0xC1, 0, 0xFF, 99, 100, 0, 0, 0, 0, 0, 0, 0, 0}}},
       0, 0x94C1, 0x009599A0, 0, 0},
      {"second disk block fills what the first left zero",
       {{true, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x08, 0, 0, 0, 0, 0, 0}},
        {true, {0x1B, 0x7E, 0x94, 0xC6, 1, 0, 0, 5, 0x77, 0, 0, 0, 0x12, 0x34, 0, 0}}},
       0x1B7E, 0x94C6, 0x01000005, 0x0008, 0x1234},
      {"usb, its own version and word",
       {{false, {0x1B, 0x7E, 0x94, 0xC6, 9, 9, 9, 9, 0x11, 0x11, 0x02, 0x00, 0x00, 0x07, 0x22, 0x22}}},
       0x1B7E, 0x94C6, 0x02000007, 0x2222, 0},
      {"usb, falling back to the disk-side places, version binary",
       {{false, {0x1B, 0x7E, 0x94, 0xC6, 0x01, 0x00, 0x0A, 0x05, 0x11, 0x11, 0, 0, 0, 0, 0, 0}}},
       0x1B7E, 0x94C6, 0x01000A05, 0x1111, 0},
      {"usb after disk fills only what is still zero",
       {{true, {0x11, 0x11, 0x94, 0xC1, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0}},
        {false, {0x1B, 0x7E, 0x94, 0xC6, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}}},
       0x1111, 0x94C1, 0x01020304, 0x0909, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceRecord record{};
    for (const Stored& s : c.blocks) (s.disk ? StoreDiskChipInfo : StoreUsbChipInfo)(record, s.block.data());
    EXPECT_EQ(record.vendorId, c.vendor);
    EXPECT_EQ(record.productId, c.product);
    EXPECT_EQ(record.firmwareVersion, c.version);
    EXPECT_EQ(record.infoWord8, c.word8);
    EXPECT_EQ(record.infoWord12, c.word12);
  }
}

TEST(ChipInfoRules, ModeIsSelectedOnceUnlessRejected) {
  DeviceRecord record{};
  SelectChipMode(record, 9);
  EXPECT_EQ(record.chipMode, kChipModeRejected);
  SelectChipMode(record, 2);  // a rejected mode may still be replaced
  EXPECT_EQ(record.chipMode, kChipModeByte2);
  SelectChipMode(record, 0);
  EXPECT_EQ(record.chipMode, kChipModeByte2);
  EXPECT_EQ(record.flashMatch, -1);
  EXPECT_EQ(record.flashChip, nullptr);
}

}  // namespace
}  // namespace vx::testing
