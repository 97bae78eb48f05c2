#include <gtest/gtest.h>

#include "flash/flash_busy_wait.h"
#include "flash/flash_primitives.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::Bytes;
using test::FlashBridgeTest;

// Addresses keep their low 24 bits; a status read fills only the bytes the
// chip's status has.
TEST_F(FlashBridgeTest, ExchangesCarryAddressesAndData) {
  FitRow(46);
  Blank();
  const Bytes data = test::Pattern(16, 3);
  ASSERT_TRUE(FlashWriteEnable(device, true));
  ASSERT_TRUE(FlashPageProgram(device, 0x7F012810, data.data(), 16));
  sim.Clock().Advance(10);
  Bytes back(16);
  ASSERT_TRUE(FlashRead(device, 0xAB012810, back.data(), 16));
  EXPECT_EQ(back, data);
  EXPECT_EQ(FlashBytes(0x12810, 16), data);
  Bytes status = {0xAA, 0xAA};
  ASSERT_TRUE(FlashReadStatus(device, status));
  EXPECT_EQ(status, (Bytes{0x00, 0xAA}));
}

TEST_F(FlashBridgeTest, WaitWhileBusyToleratesTenFailedReadsInARow) {
  const struct {
    std::uint32_t failures;
    bool idle;
  } cases[] = {{0, true}, {10, true}, {11, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failures);
    FitRow(46);
    if (c.failures != 0) bridge->Faults().OnSpiOpcode(0x05, emu::Fault::CallFails(), c.failures);
    EXPECT_EQ(WaitWhileBusy(device, 7), c.idle);
    EXPECT_EQ(Commands(), std::min<std::uint32_t>(c.failures + 1, 11));
  }
  // Ten failures before and ten after a read that finds the chip still busy.
  FitRow(46);
  Blank();
  ASSERT_TRUE(FlashWriteEnable(device, true));
  ASSERT_TRUE(FlashChipErase(device));
  for (std::uint64_t n = 3; n <= 23; ++n) {
    if (n != 13) bridge->Faults().OnCommand(n, emu::Fault::CallFails());
  }
  EXPECT_TRUE(WaitWhileBusy(device, emu::PartForRow(46).eraseMs / 15));
  EXPECT_EQ(Commands(), 24u);
}

}  // namespace
}  // namespace vx
