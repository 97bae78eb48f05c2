#include <gtest/gtest.h>

#include <set>

#include "flash/flash_table.h"

namespace vx {
namespace {

bool SameCommand(const FlashCommand& a, const FlashCommand& b) {
  return a.opcode == b.opcode && a.commandLength == b.commandLength && a.dataLength == b.dataLength;
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

}  // namespace
}  // namespace vx
