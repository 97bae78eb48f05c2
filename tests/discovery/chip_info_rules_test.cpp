#include "discovery/chip_info_rules.h"

#include <gtest/gtest.h>

#include <array>

namespace vx::testing {
namespace {

using Block = std::array<std::uint8_t, kChipInfoBytes>;

Block DiskBlock(std::uint16_t vendor, std::uint16_t product, std::array<std::uint8_t, 4> version) {
  Block block{};
  block[0] = vendor >> 8;
  block[1] = vendor & 0xFF;
  block[2] = product >> 8;
  block[3] = product & 0xFF;
  for (int i = 0; i < 4; ++i) block[4 + i] = version[i];
  return block;
}

TEST(ChipInfoRules, DiskVersionIsBcdConvertedForTheBinaryVersionProduct) {
  struct Case {
    std::uint16_t product;
    std::uint32_t version;
  };
  for (const Case& c : {Case{0x94C1, 0x01021099}, Case{0x94C6, 0x01020A63}}) {
    DeviceRecord record{};
    StoreDiskChipInfo(record, DiskBlock(0x1B7E, c.product, {0x01, 0x02, 0x0A, 0x63}).data());
    EXPECT_EQ(record.firmwareVersion, c.version) << std::hex << c.product;
  }
}

TEST(ChipInfoRules, BcdConversionKeepsEightBitsPerByte) {
  DeviceRecord record{};
  StoreDiskChipInfo(record, DiskBlock(0, 0x94C1, {0xFF, 99, 100, 0}).data());
  // 255 -> 25*16+5 = 0x195 -> 0x95; 99 -> 0x99; 100 -> 10*16 = 0xA0
  EXPECT_EQ(record.firmwareVersion, 0x9599A000u);
}

TEST(ChipInfoRules, DiskBlockFillsOnlyFieldsStillZero) {
  DeviceRecord record{};
  Block first = DiskBlock(0, 0, {0, 0, 0, 0});
  first[9] = 0x08;
  StoreDiskChipInfo(record, first.data());
  EXPECT_EQ(record.vendorId, 0);
  EXPECT_EQ(record.productId, 0);
  EXPECT_EQ(record.infoWord8, 0x0008);

  Block second = DiskBlock(0x1B7E, 0x94C6, {1, 0, 0, 5});
  second[8] = 0x77;
  second[12] = 0x12;
  second[13] = 0x34;
  StoreDiskChipInfo(record, second.data());
  EXPECT_EQ(record.vendorId, 0x1B7E);
  EXPECT_EQ(record.productId, 0x94C6);
  EXPECT_EQ(record.firmwareVersion, 0x01000005u);
  EXPECT_EQ(record.infoWord8, 0x0008);  // the first block's value wins
  EXPECT_EQ(record.infoWord12, 0x1234);
}

TEST(ChipInfoRules, UsbBlockPrefersItsOwnFieldsAndFallsBack) {
  struct Case {
    const char* name;
    Block block;
    std::uint32_t version;
    std::uint16_t word8;
  };
  const Case cases[] = {
      {"own fields", {0x1B, 0x7E, 0x94, 0xC6, 9, 9, 9, 9, 0x11, 0x11, 0x02, 0x00, 0x00, 0x07, 0x22, 0x22}, 0x02000007, 0x2222},
      {"fallbacks", {0x1B, 0x7E, 0x94, 0xC6, 0x01, 0x00, 0x00, 0x05, 0x11, 0x11, 0, 0, 0, 0, 0, 0}, 0x01000005, 0x1111},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceRecord record{};
    StoreUsbChipInfo(record, c.block.data());
    EXPECT_EQ(record.vendorId, 0x1B7E);
    EXPECT_EQ(record.productId, 0x94C6);
    EXPECT_EQ(record.firmwareVersion, c.version);
    EXPECT_EQ(record.infoWord8, c.word8);
    EXPECT_EQ(record.infoWord12, 0);
  }
}

TEST(ChipInfoRules, UsbBlockDoesNotOverwriteWhatTheDiskSideStored) {
  DeviceRecord record{};
  StoreDiskChipInfo(record, DiskBlock(0x1111, 0x94C1, {1, 2, 3, 4}).data());
  const Block usb = {0x1B, 0x7E, 0x94, 0xC6, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  StoreUsbChipInfo(record, usb.data());
  EXPECT_EQ(record.vendorId, 0x1111);
  EXPECT_EQ(record.productId, 0x94C1);
  EXPECT_EQ(record.firmwareVersion, 0x01020304u);
  EXPECT_EQ(record.infoWord8, 0x0909);
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
