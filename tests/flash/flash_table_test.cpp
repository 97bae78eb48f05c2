#include <gtest/gtest.h>

#include <set>

#include "flash/flash_primitives.h"
#include "flash/flash_table.h"

namespace vx {
namespace {

bool SameCommand(const FlashCommand& a, const FlashCommand& b) {
  return a.opcode == b.opcode && a.commandLength == b.commandLength && a.dataLength == b.dataLength;
}

TEST(FlashTable, CommandsEveryChipShares) {
  for (int row = 0; row < kFlashTableRows; ++row) {
    SCOPED_TRACE(row);
    const FlashDescriptor& d = FlashDescriptorTable[row];
    EXPECT_TRUE(SameCommand(d.writeEnable, {0x06, 1, 0, 0}));
    EXPECT_TRUE(SameCommand(d.writeDisable, {0x04, 1, 0, 0}));
    EXPECT_TRUE(SameCommand(d.readStatus, {0x05, 1, 1, 0}));
    EXPECT_EQ(d.read.opcode, 0x03u);
    EXPECT_EQ(d.read.commandLength, 4u);
    EXPECT_EQ(d.pageProgram.opcode, 0x02u);
    EXPECT_EQ(d.pageProgram.commandLength, 4u);
    EXPECT_EQ(d.chipErase.commandLength, 1u);
    EXPECT_TRUE(d.chipErase.opcode == 0x60 || d.chipErase.opcode == 0xC7 || d.chipErase.opcode == 0x62);
    EXPECT_NE(d.chipErase.pollIntervalMs, 0u);
    EXPECT_EQ(d.unprotectStatus, 0u);
    EXPECT_EQ(d.readId.pollIntervalMs, row == 19 ? 20u : 1u);
  }
}

// The values that set groups of rows apart.
TEST(FlashTable, GroupValues) {
  const std::set<int> twoStatusBytes = {36, 37, 38, 39, 40, 41, 43, 44};
  const std::set<int> noWriteStatus = {26, 27};
  const std::set<int> preCommand = {23, 24, 25};
  for (int row = 0; row < kFlashTableRows; ++row) {
    SCOPED_TRACE(row);
    const FlashDescriptor& d = FlashDescriptorTable[row];
    const bool id15 = row >= 11 && row <= 14;
    const bool id90 = row == 23 || row == 24;
    const bool idAB = row >= 28 && row <= 35;
    if (id15) {
      EXPECT_TRUE(SameCommand(d.readId, {0x15, 1, 2, 0}));
    } else if (id90) {
      EXPECT_TRUE(SameCommand(d.readId, {0x90, 4, 4, 0}));
    } else if (idAB) {
      EXPECT_TRUE(SameCommand(d.readId, {0xAB, 4, 3, 0}));
    } else {
      EXPECT_TRUE(SameCommand(d.readId, {0x9F, 1, 3, 0}));
    }
    if (noWriteStatus.count(row)) {
      EXPECT_EQ(d.writeStatus.opcode, 0u);
    } else {
      EXPECT_EQ(d.writeStatus.opcode, 0x01u);
      EXPECT_EQ(d.writeStatus.commandLength, twoStatusBytes.count(row) ? 3u : 2u);
    }
    if (preCommand.count(row)) {
      EXPECT_TRUE(SameCommand(d.enableWriteStatus, {0x50, 1, 0, 0}));
    } else {
      EXPECT_EQ(d.enableWriteStatus.opcode, 0u);
    }
    const std::uint32_t pageSize = (row == 4 || row == 5) ? 32 : row == 14 ? 128 : 256;
    EXPECT_EQ(d.pageSize, pageSize);
  }
}

// The busy-wait bound must outlast the slowest chip erase of the table by far.
TEST(FlashTable, BusyWaitLimitOutlastsEverySlowErase) {
  for (int row = 0; row < kFlashTableRows; ++row) {
    const FlashDescriptor& d = FlashDescriptorTable[row];
    EXPECT_GE(BusyWaitLimitMs(d), 600'000u) << row;
    EXPECT_GE(BusyWaitLimitMs(d), 60u * d.chipErase.pollIntervalMs) << row;
  }
}

}  // namespace
}  // namespace vx
