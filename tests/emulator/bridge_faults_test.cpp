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

TEST(BridgeFault, NthCommandFailsOnceOrUnplugsTheBridge) {
  for (const bool vanish : {false, true}) {
    SCOPED_TRACE(vanish);
    VirtualClock clock;
    Bridge bridge(clock, PartForRow(8));
    bridge.Faults().OnCommand(2, vanish ? Fault::Vanish() : Fault::CallFails());
    EXPECT_TRUE(Good(SpiOut(bridge, {0x06})));
    EXPECT_FALSE(SpiOut(bridge, {0x06}).completed);
    EXPECT_EQ(Good(SpiOut(bridge, {0x06})), !vanish);
    EXPECT_EQ(bridge.Present(), !vanish);
    const auto scsi = bridge.Trace().Scsi();  // a vanished bridge is not reached at all
    ASSERT_EQ(scsi.size(), vanish ? 2u : 3u);
    EXPECT_FALSE(scsi[1].completed);
    EXPECT_EQ(bridge.Trace().SpiOpcodes(), vanish ? "06" : "06 06");  // failed commands never reach the flash
  }
}

TEST_F(BridgeFaultTest, OpcodeRulesLastTheirTimesAndTheFirstMatchWins) {
  bridge.Faults().OnOpcode(scsi::kSpiIn, Fault::Status(0x08));
  for (int i = 0; i < 3; ++i) {
    Bytes data(3, 0xEE);
    const ScsiResult result = Execute(bridge, SpiBlock(scsi::kSpiIn, {0x9F}, 3), true, data);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.status, 0x08);
    EXPECT_EQ(data, Bytes(3, 0xEE));  // not carried out
  }
  bridge.Faults().Clear();
  bridge.Faults().OnSpiOpcode(0x05, Fault::CallFails(), 2);
  bridge.Faults().OnOpcode(scsi::kSpiOut, Fault::Status(0x02), 1);
  bridge.Faults().OnSpiOpcode(0x06, Fault::CallFails());
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(SpiIn(bridge, {0x05}, 2).empty()) << i;
  EXPECT_EQ(SpiIn(bridge, {0x05}, 2), (Bytes{0x00, 0x00}));
  EXPECT_EQ(Enable().status, 0x02);
  EXPECT_FALSE(Enable().completed);
  bridge.Faults().Clear();
  EXPECT_TRUE(Good(Enable()));
}

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
