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

// What each row of the flash table says about the chips it stands for.
struct RowFacts {
  std::uint8_t protect = 0x0C;
  std::uint8_t erase = 0x60;
  std::uint8_t statusBytes = 1;
  bool ewsr = false;  // status write only after 0x50
  std::uint32_t pageSize = 256;
};

RowFacts FactsOf(int row) {
  RowFacts facts;
  if (std::set{6, 7, 8, 10, 15, 16, 25}.contains(row)) facts.protect = 0x3C;
  if (row >= 28 && row <= 35) facts.protect = 0x1C;
  if (row >= 36 && row <= 42) facts.protect = 0x7C;
  if (row >= 43) facts.protect = 0x1C;
  if (row == 26 || row == 27) facts.protect = 0x00;
  if (std::set{1, 16, 17, 18, 19, 20, 21, 22, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 44,
               46, 47}.contains(row)) {
    facts.erase = 0xC7;
  }
  if (row >= 11 && row <= 14) facts.erase = 0x62;
  if ((row >= 36 && row <= 41) || row == 43 || row == 44) facts.statusBytes = 2;
  facts.ewsr = row >= 23 && row <= 25;
  if (row == 4 || row == 5) facts.pageSize = 32;
  if (row == 14) facts.pageSize = 128;
  return facts;
}

// Every row identification can return has a part that fits it, and whose
// row protect value covers the whole chip.
TEST(FlashCatalogue, EveryReturnableRowHasAPartThatFitsTheRow) {
  for (int row = 0; row < 48; ++row) {
    SCOPED_TRACE(row);
    if (std::set{0, 2, 7, 12, 13}.contains(row)) {  // candidates only
      EXPECT_THROW(PartForRow(row), std::out_of_range);
      continue;
    }
    const FlashPart& part = PartForRow(row);
    const RowFacts facts = FactsOf(row);
    EXPECT_EQ(part.protectBits, facts.protect);
    EXPECT_EQ(part.chipEraseOpcodes, Bytes{facts.erase});
    EXPECT_EQ(part.statusBytes, facts.statusBytes);
    EXPECT_EQ(part.writeStatusNeedsEwsr, facts.ewsr);
    EXPECT_EQ(part.hasWriteStatus, row != 26 && row != 27);
    EXPECT_EQ(part.pageSize, facts.pageSize);
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
