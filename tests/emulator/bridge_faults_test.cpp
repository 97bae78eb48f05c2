#include "emulator/bridge_faults.h"

#include <gtest/gtest.h>

#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "tests/emulator/bridge_blocks.h"

namespace vx::emu {
namespace {

using namespace test;

class BridgeFaultTest : public testing::Test {
 protected:
  ScsiResult Enable() { return SpiOut(bridge, {0x06}); }

  VirtualClock clock;
  Bridge bridge{clock, PartForRow(8)};
};

TEST_F(BridgeFaultTest, ShortDataIgnoredWritesAndStuckBusy) {
  bridge.Faults().OnSpiOpcode(0x9F, Fault::ShortData(1), 1);
  Bytes id(3, 0xEE);
  const ScsiResult shortRead = Execute(bridge, SpiBlock(scsi::kSpiIn, {0x9F}, 3), true, id);
  EXPECT_TRUE(Good(shortRead));
  EXPECT_EQ(shortRead.transferred, 1u);
  EXPECT_EQ(id, (Bytes{0xC2, 0xEE, 0xEE}));

  bridge.Faults().OnSpiOpcode(0x02, Fault::IgnoreWrite());
  bridge.Faults().OnOpcode(scsi::kWriteImageSectors, Fault::IgnoreWrite());
  ASSERT_TRUE(Good(Enable()));
  EXPECT_TRUE(Good(SpiOut(bridge, {0x02, 0x00, 0x00, 0x00}, {0x00})));
  Bytes block(512, 0x00);
  EXPECT_TRUE(Good(Execute(bridge, SectorBlock(scsi::kWriteImageSectors, 20, 1), false, block)));
  EXPECT_EQ(bridge.Flash()->Array()[0], 0xFF);
  EXPECT_EQ(bridge.Flash()->Array()[20 * 512], 0xFF);
  EXPECT_TRUE(bridge.Flash()->WriteEnabled());

  bridge.Faults().OnSpiOpcode(0x60, Fault::StickBusy());
  EXPECT_TRUE(Good(SpiOut(bridge, {0x60})));
  clock.Advance(24 * 3600 * 1000ull);
  EXPECT_EQ(SpiIn(bridge, {0x05}, 2)[0] & spi::kStatusBusy, spi::kStatusBusy);
}

}  // namespace
}  // namespace vx::emu
