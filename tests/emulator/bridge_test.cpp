#include "emulator/bridge.h"

#include <gtest/gtest.h>

#include "emulator/flash_catalogue.h"
#include "tests/emulator/bridge_blocks.h"

namespace vx::emu {
namespace {

using namespace test;

constexpr std::uint32_t kDiskImageBlock = 0x2800 / 512;

class BridgeTest : public testing::Test {
 protected:
  ScsiResult Sectors(std::uint8_t opcode, std::uint16_t count, Bytes& data) {
    return Execute(bridge, SectorBlock(opcode, kDiskImageBlock, count), opcode == scsi::kReadImageSectors, data);
  }

  VirtualClock clock;
  Bridge bridge{clock, PartForRow(8)};
};

TEST_F(BridgeTest, ChipInformationIsTheConfiguredBlockAndTraced) {
  bridge.Config().chipInfo = DiskChipInfo({.vendorId = 0x1B7E, .productId = 0x94C1, .firmwareVersion = 0x01020A63,
                                           .infoWord8 = 0x0102, .mode = 1, .infoWord12 = 0x0304});
  Bytes out(16, 0xEE);
  EXPECT_TRUE(Good(Execute(bridge, ChipInfoCdb(), true, out)));
  EXPECT_EQ(out, (Bytes{0x1B, 0x7E, 0x94, 0xC1, 0x01, 0x02, 0x0A, 0x63, 0x01, 0x02, 0x00, 0x01, 0x03, 0x04, 0, 0}));
  EXPECT_EQ(HexBytes(bridge.Trace().Scsi().at(0).cdb), "D0 00 00 00 1B 7E");
}

TEST_F(BridgeTest, BlocksTheBridgeCannotTakeGetCheckCondition) {
  auto withByte = [](Bytes cdb, std::size_t at, std::uint8_t value) {
    cdb[at] = value;
    return cdb;
  };
  const Bytes readId = SpiBlock(scsi::kSpiIn, {0x9F}, 3);
  struct Case {
    const char* what;
    Bytes cdb;
    bool dataIn;
    std::uint32_t length;
  };
  const Case cases[] = {
      {"unknown opcode", {0x12, 0, 0, 0, 0x1B, 0x7E}, true, 16},
      {"chip info signature byte 4", withByte(ChipInfoCdb(), 4, 0x1C), true, 16},
      {"chip info signature byte 5", withByte(ChipInfoCdb(), 5, 0x7F), true, 16},
      {"chip info sent out", ChipInfoCdb(), false, 16},
      {"chip info as a 10-byte block", Bytes{0xD0, 0, 0, 0, 0x1B, 0x7E, 0, 0, 0, 0}, true, 16},
      {"SPI signature", withByte(readId, 5, 0x00), true, 3},
      {"SPI in sent out", readId, false, 3},
      {"SPI out read in", SpiBlock(scsi::kSpiOut, {0x06}, 0), true, 0},
      {"SPI length field disagrees", readId, true, 4},
      {"SPI without command bytes", withByte(readId, 1, 0), true, 3},
      {"SPI with 9 command bytes", withByte(readId, 1, 9), true, 3},
      {"SPI as a 10-byte block", Bytes(readId.begin(), readId.begin() + 10), true, 3},
      {"SPI read of one byte", SpiBlock(scsi::kSpiIn, {0x05}, 1), true, 1},
      {"sector count disagrees", SectorBlock(scsi::kReadImageSectors, kDiskImageBlock, 2), true, 512},
      {"sector read sent out", SectorBlock(scsi::kReadImageSectors, kDiskImageBlock, 1), false, 512},
      {"sectors beyond the flash", SectorBlock(scsi::kReadImageSectors, 2 * 1024 * 1024 / 512 - 1, 2), true, 1024},
      {"sector write beyond the flash", SectorBlock(scsi::kWriteImageSectors, 0xFFFFFFFF, 1), false, 512},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes data(c.length, 0xEE);
    const ScsiResult result = bridge.ExecuteScsi({c.cdb, c.dataIn, c.length, data.data()});
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.status, scsi::kCheckCondition);
    EXPECT_EQ(data, Bytes(c.length, 0xEE));
  }
  EXPECT_TRUE(bridge.Trace().Spi().empty());
  EXPECT_EQ(bridge.Trace().Scsi().size(), std::size(cases));
}

// Each E7 / E8 is one SPI transaction of its command bytes and data; what
// the flash makes of it is the flash model's own business.
TEST_F(BridgeTest, SpiCommandsReachTheFlashAsOneTransactionEach) {
  Bytes page(256);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i);
  EXPECT_EQ(SpiIn(bridge, {0x9F}, 3), (Bytes{0xC2, 0x20, 0x15}));
  EXPECT_TRUE(Good(SpiOut(bridge, {0x06})));
  EXPECT_TRUE(Good(SpiOut(bridge, {0x02, 0x00, 0x28, 0x00}, page)));
  clock.Advance(PartForRow(8).programMs);
  EXPECT_EQ(SpiIn(bridge, {0x03, 0x00, 0x28, 0x00}, 256), page);
  EXPECT_EQ(bridge.Trace().SpiOpcodes(), "9F 06 02 03");
  const auto spi = bridge.Trace().Spi();
  EXPECT_EQ(spi[2].command, (Bytes{0x02, 0x00, 0x28, 0x00}));
  EXPECT_FALSE(spi[2].dataIn);
  EXPECT_EQ(spi[2].dataLength, 256u);
  EXPECT_TRUE(spi[3].dataIn);
}

// The bytes past the last whole block move with the blocks, or (a bridge
// configured so) do not move at all: a read then delivers the blocks alone.
TEST_F(BridgeTest, ImageSectorsMoveTheDataPhaseAtTheBlockAddress) {
  for (const SectorTail tail : {SectorTail::Moved, SectorTail::Dropped}) {
    const bool moved = tail == SectorTail::Moved;
    SCOPED_TRACE(moved);
    Bridge bridge(clock, PartForRow(8), {.sectorTail = tail});
    SpiFlash& flash = *bridge.Flash();
    flash.SetStatus(PartForRow(8).protectBits);  // the firmware path ignores protection
    flash.Array()[0x2800] = 0x00;                // and rewrites, not just clears bits
    Bytes image(1024 + 64);                      // two whole blocks and a tail: count 2
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 1);
    ScsiResult result = Execute(bridge, SectorBlock(scsi::kWriteImageSectors, kDiskImageBlock, 2), false, image);
    ASSERT_TRUE(Good(result));
    EXPECT_EQ(result.transferred, moved ? 1088u : 1024u);
    auto array = flash.Array();
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 1024, array.begin() + 0x2800));
    EXPECT_EQ(array[0x2800 + 1024], moved ? image[1024] : 0xFF);
    EXPECT_EQ(array[0x2800 + image.size()], 0xFF);
    EXPECT_EQ(array[0x27FF], 0xFF);
    std::ranges::fill(array.subspan(0x2800 + 1024, 64), 0xA5);
    Bytes back(image.size(), 0);
    result = Execute(bridge, SectorBlock(scsi::kReadImageSectors, kDiskImageBlock, 2), true, back);
    ASSERT_TRUE(Good(result));
    EXPECT_EQ(result.transferred, moved ? 1088u : 1024u);
    EXPECT_EQ(back[1023], image[1023]);
    EXPECT_EQ(back[1024], moved ? 0xA5 : 0x00);
    EXPECT_TRUE(bridge.Trace().Spi().empty());
  }
  // Refused while the flash is busy with an operation started over SPI.
  Bytes two(2, 0);
  SpiOut(bridge, {0x06});
  SpiOut(bridge, {0x01, 0x00});
  EXPECT_EQ(Sectors(scsi::kReadImageSectors, 0, two).status, scsi::kCheckCondition);
  clock.Advance(PartForRow(8).writeStatusMs);
  EXPECT_TRUE(Good(Sectors(scsi::kReadImageSectors, 0, two)));
}

// A check condition carries sense data that says why: key, ASC and ASCQ.
TEST_F(BridgeTest, CheckConditionsSayWhy) {
  Bridge bare;
  const struct {
    const char* what;
    Bridge& target;
    Bytes cdb;
    bool dataIn;
    std::uint32_t length;
    Sense sense;
  } cases[] = {
      {"unknown opcode", bridge, {0x12, 0, 0, 0, 0x1B, 0x7E}, true, 16, {0x05, 0x20, 0x00}},
      {"bad signature", bridge, {0xD0, 0, 0, 0, 0x1C, 0x7E}, true, 16, {0x05, 0x24, 0x00}},
      {"sectors beyond the flash", bridge, SectorBlock(scsi::kWriteImageSectors, 0xFFFFFFFF, 1), false, 512,
       {0x05, 0x21, 0x00}},
      {"sectors without a flash", bare, SectorBlock(scsi::kReadImageSectors, 0, 1), true, 512, {0x02, 0x3A, 0x00}},
      {"sectors while the flash is busy", bridge, SectorBlock(scsi::kReadImageSectors, 0, 1), true, 512,
       {0x02, 0x04, 0x07}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (&c == &cases[std::size(cases) - 1]) bridge.Flash()->SetStuckBusy(true);
    Bytes data(c.length);
    const ScsiResult result = Execute(c.target, c.cdb, c.dataIn, data);
    EXPECT_EQ(result.status, scsi::kCheckCondition);
    EXPECT_EQ((Bytes{result.sense.key, result.sense.asc, result.sense.ascq}),
              (Bytes{c.sense.key, c.sense.asc, c.sense.ascq}));
  }
}

// A long run keeps only the most recent entries of each view, so that its
// record stays small; a bridge told to keep none records nothing.
TEST_F(BridgeTest, TraceKeepsOnlyTheMostRecentEntries) {
  for (int i = 0; i < 10005; ++i) ASSERT_TRUE(Good(SpiOut(bridge, {0x06})));
  ASSERT_TRUE(Good(SpiOut(bridge, {0x04})));
  EXPECT_EQ(bridge.Trace().Scsi().size(), 10000u);
  ASSERT_EQ(bridge.Trace().Spi().size(), 10000u);
  EXPECT_EQ(bridge.Trace().Spi().back().command, Bytes{0x04});

  bridge.Trace().Keep(2);
  EXPECT_EQ(bridge.Trace().SpiOpcodes(), "06 04");
  bridge.Trace().Keep(0);
  ASSERT_TRUE(Good(SpiOut(bridge, {0x06})));
  std::uint8_t answer[16];
  bridge.ControlTransfer({0xC0, 0xF1, 0x7E1B, 1, 16}, answer, sizeof answer);
  EXPECT_TRUE(bridge.Trace().Scsi().empty());
  EXPECT_TRUE(bridge.Trace().Spi().empty());
  EXPECT_TRUE(bridge.Trace().Usb().empty());
}

}  // namespace
}  // namespace vx::emu
