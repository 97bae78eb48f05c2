#include "emulator/flash_catalogue.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "emulator/spi_flash.h"

namespace vx::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;

// What each row of the flash table says about the chips it stands for:
// protect value, chip-erase opcode, status bytes written, 0x50 pre-command,
// page size.
struct RowFacts {
  std::uint8_t protect;
  std::uint8_t erase;
  std::uint8_t statusBytes;
  bool ewsr;
  std::uint32_t pageSize;
};

RowFacts FactsOf(int row) {
  RowFacts facts{0x0C, 0x60, 1, false, 256};
  if (row == 6 || row == 7 || row == 8 || row == 10 || row == 15 || row == 16 || row == 25) facts.protect = 0x3C;
  if (row >= 28 && row <= 35) facts.protect = 0x1C;
  if (row >= 36 && row <= 42) facts.protect = 0x7C;
  if (row >= 43) facts.protect = 0x1C;
  if (row == 26 || row == 27) facts.protect = 0x00;
  const std::set<int> eraseC7 = {1, 16, 17, 18, 19, 20, 21, 22, 26, 27, 28, 29, 30, 31, 32, 33,
                                 34, 35, 36, 37, 38, 39, 40, 41, 42, 44, 46, 47};
  if (eraseC7.contains(row)) facts.erase = 0xC7;
  if (row >= 11 && row <= 14) facts.erase = 0x62;
  if ((row >= 36 && row <= 41) || row == 43 || row == 44) facts.statusBytes = 2;
  facts.ewsr = row >= 23 && row <= 25;
  if (row == 4 || row == 5) facts.pageSize = 32;
  if (row == 14) facts.pageSize = 128;
  return facts;
}

TEST(FlashCatalogue, EveryReturnableRowHasAPartThatFitsTheRow) {
  const std::set<int> candidatesOnly = {0, 2, 7, 12, 13};
  for (int row = 0; row < 48; ++row) {
    SCOPED_TRACE(row);
    if (candidatesOnly.contains(row)) {
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
  }
}

TEST(FlashCatalogue, PartsAreWellFormed) {
  std::set<std::string> names;
  for (const FlashPart& part : FlashCatalogue()) {
    SCOPED_TRACE(part.name);
    EXPECT_TRUE(names.insert(part.name).second) << "duplicate name";
    EXPECT_TRUE(std::has_single_bit(part.capacity));
    EXPECT_TRUE(std::has_single_bit(part.pageSize));
    EXPECT_GE(part.capacity, 64 * kKiB);  // room for the firmware and the disk-image area
    if (part.protectBits != 0) {
      const unsigned shifted = part.protectBits >> std::countr_zero(part.protectBits);
      EXPECT_TRUE(std::has_single_bit(shifted + 1)) << "protect bits not contiguous";
      EXPECT_EQ(part.protectBits & 0x83, 0) << "protect bits overlap busy, latch or SRWD";
    }
    EXPECT_FALSE(part.chipEraseOpcodes.empty());
    EXPECT_GE(part.programMs, 1u);
    EXPECT_GE(part.eraseMs, 1u);
    if (part.hasWriteStatus) {
      EXPECT_GE(part.writeStatusMs, 1u);
    }
  }
  EXPECT_EQ(PartNamed("C2 20 15").row, 8);
  EXPECT_THROW(PartNamed("no such part"), std::out_of_range);
}

// The bytes a fresh chip drives after one identification command of
// commandLength bytes (opcode and zeros), for `answer` bytes.
Bytes IdAnswerOf(const FlashPart& part, std::uint8_t opcode, std::size_t commandLength, std::size_t answer,
                 std::uint8_t lastAddressByte = 0) {
  VirtualClock clock;
  SpiFlash flash(part, clock);
  Bytes mosi(commandLength + answer, 0x00);
  mosi[0] = opcode;
  if (commandLength > 1) mosi[commandLength - 1] = lastAddressByte;
  Bytes miso(mosi.size());
  flash.Transfer(mosi, miso);
  return Bytes(miso.begin() + static_cast<std::ptrdiff_t>(commandLength), miso.end());
}

TEST(FlashCatalogue, PartsAnswerTheIdentificationCommandsTheyKnow) {
  struct Case {
    std::string_view part;
    std::uint8_t opcode;
    std::size_t commandLength;
    Bytes expected;
    std::uint8_t lastAddressByte = 0;
  };
  const Case cases[] = {
      {"C2 20 15", 0x9F, 1, {0xC2, 0x20, 0x15}},
      {"C2 20 11", 0x90, 4, {0xC2, 0x10, 0xC2, 0x10}},
      {"C2 20 11", 0x90, 4, {0x10, 0xC2}, 0x01},  // odd address: device first
      {"1F 65 (0x15 only)", 0x15, 1, {0x1F, 0x65}},
      {"1F 65 (0x15 only)", 0x9F, 1, {0xFF, 0xFF, 0xFF}},
      {"BF 49 (0x90 only)", 0x90, 4, {0xBF, 0x49, 0xBF, 0x49}},
      {"9D 7C (0xAB)", 0xAB, 4, {0x9D, 0x7C, 0x9D}},
      {"9D 7C (0xAB)", 0x9F, 1, {0x7F, 0x9D, 0x7C}},
      {"EF 40 18", 0x90, 4, {0xEF, 0x17}},
      {kSilentPart, 0x9F, 1, {0xFF, 0xFF, 0xFF}},
      {kSilentPart, 0xAB, 4, {0xFF, 0xFF, 0xFF}},
      {kUnknownMakerPart, 0x9F, 1, {0xA1, 0x40, 0x14}},
      {kContinuationCodePart, 0x9F, 1, {0x7F, 0x9D, 0x13}},
      {kContinuationCodePart, 0xAB, 4, {0xFF, 0xFF, 0xFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.part) + " opcode " + std::to_string(c.opcode));
    EXPECT_EQ(IdAnswerOf(PartNamed(c.part), c.opcode, c.commandLength, c.expected.size(), c.lastAddressByte),
              c.expected);
  }
}

TEST(FlashCatalogue, IdAnswerNeedsItsAddressBytesFirst) {
  // 0x90 sent without its three address bytes: the chip takes the first
  // three clocked bytes as the address and only then answers.
  EXPECT_EQ(IdAnswerOf(PartNamed("BF 49 (0x90 only)"), 0x90, 1, 5), (Bytes{0xFF, 0xFF, 0xFF, 0xBF, 0x49}));
}

}  // namespace
}  // namespace vx::emu
