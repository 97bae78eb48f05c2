#include "emulator/flash_catalogue.h"

#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <stdexcept>
#include <vector>

#include "emulator/spi_flash.h"

namespace vx::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Every row identification can return has a part with that row's protect
// value (which covers the whole chip), erase opcode, status bytes written,
// 0x50 rule and page size.
TEST(FlashCatalogue, EveryReturnableRowHasAPartThatFitsTheRow) {
  const auto in = [](int row, std::set<int> rows) { return rows.contains(row); };
  for (int row = 0; row < 48; ++row) {
    SCOPED_TRACE(row);
    if (in(row, {0, 2, 7, 12, 13})) {  // candidates only
      EXPECT_THROW(PartForRow(row), std::out_of_range);
      continue;
    }
    const FlashPart& part = PartForRow(row);
    std::uint8_t protect = in(row, {6, 7, 8, 10, 15, 16, 25}) ? 0x3C : 0x0C;
    if (row >= 28) protect = row >= 36 && row <= 42 ? 0x7C : 0x1C;
    if (row == 26 || row == 27) protect = 0x00;
    EXPECT_EQ(part.protectBits, protect);
    const bool eraseC7 = in(row, {1, 16, 17, 18, 19, 20, 21, 22, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                                  40, 41, 42, 44, 46, 47});
    EXPECT_EQ(part.chipEraseOpcodes, Bytes(1, row >= 11 && row <= 14 ? 0x62 : eraseC7 ? 0xC7 : 0x60));
    EXPECT_EQ(part.statusBytes, (row >= 36 && row <= 41) || row == 43 || row == 44 ? 2 : 1);
    EXPECT_EQ(part.writeStatusNeedsEwsr, row >= 23 && row <= 25);
    EXPECT_EQ(part.powersUpProtected, in(row, {15, 23, 24, 25}));
    EXPECT_EQ(part.hasWriteStatus, row != 26 && row != 27);
    EXPECT_EQ(part.pageSize, row == 4 || row == 5 ? 32u : row == 14 ? 128u : 256u);
    EXPECT_GE(part.capacity, 64 * kKiB);  // room for the firmware and the disk-image area
    VirtualClock clock;
    SpiFlash flash(part, clock);
    flash.SetStatus(part.protectBits);
    EXPECT_EQ(flash.ProtectedBytes(), part.protectBits != 0 ? part.capacity : 0u);
  }
  std::set<std::string> names;
  for (const FlashPart& part : FlashCatalogue()) {
    EXPECT_TRUE(names.insert(part.name).second) << "duplicate " << part.name;
    EXPECT_TRUE(std::has_single_bit(part.capacity)) << part.name;
  }
  EXPECT_THROW(PartNamed("no such part"), std::out_of_range);
}

}  // namespace
}  // namespace vx::emu
