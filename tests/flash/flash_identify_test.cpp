#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "emulator/flash_catalogue.h"
#include "flash/flash_identify.h"
#include "flash/flash_table.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::FlashBridgeTest;

// Read-ID opcodes of candidates 0 .. last, in table order.
std::string MethodsUpTo(std::size_t last) {
  std::string text;
  for (std::size_t c = 0; c <= last; ++c) {
    const std::uint8_t opcode = static_cast<std::uint8_t>(FlashDescriptorTable[c].readId.opcode);
    text += (c == 0 ? "" : " ") + emu::HexBytes(std::span(&opcode, 1));
  }
  return text;
}

// What the parts that answer only one of the older read-ID commands see: the
// candidate that finds them, its command bytes and the ID word.
struct OlderMethod {
  std::size_t exchanges;
  std::string command;
  std::uint32_t id;
};
const std::map<std::string_view, OlderMethod> kOlderMethods = {
    {"1F 65 (0x15 only)", {12, "15", 0x651F}},
    {"BF 49 (0x90 only)", {24, "90 00 00 00", 0x49BF49BF}},
    {"EF 17 (0x90 only)", {24, "90 00 00 00", 0x17EF17EF}},
    {"9D 7C (0xAB)", {29, "AB 00 00 00", 0x9D7C9D}},
};

// Each part is identified by the first candidate whose method it answers
// with a known maker code; the rows before it cost one exchange each, and a
// part that answers 0x9F is found by the very first.
TEST_F(FlashBridgeTest, IdentifiesEveryPartOfTheCatalogue) {
  std::size_t olderSeen = 0;
  for (const emu::FlashPart& part : emu::FlashCatalogue()) {
    if (part.row < 0) continue;
    SCOPED_TRACE(part.name);
    Fit(part);
    std::uint32_t id = 0, index = 0;
    ASSERT_TRUE(IdentifyFlash(device, id, index));
    EXPECT_EQ(device.flashMatch, part.row);
    EXPECT_EQ(device.flashChip, &FlashDescriptorTable[part.row]);
    EXPECT_EQ(index, static_cast<std::uint32_t>(part.row));
    EXPECT_EQ(device.flashId, id);

    const auto spi = bridge->Trace().Spi();
    ASSERT_FALSE(spi.empty());
    EXPECT_EQ(Sent(), MethodsUpTo(spi.size() - 1));
    EXPECT_EQ(spi.back().dataLength, FlashDescriptorTable[spi.size() - 1].readId.dataLength);
    const bool answersJedec =
        std::ranges::any_of(part.ids, [](const emu::IdAnswer& a) { return a.opcode == 0x9F && a.bytes[0] != 0x7F; });
    EXPECT_EQ(spi.back().command[0] == 0x9F, answersJedec);
    EXPECT_EQ(spi.size() == 1, answersJedec);
    if (const auto older = kOlderMethods.find(part.name); older != kOlderMethods.end()) {
      ++olderSeen;
      EXPECT_EQ(spi.size(), older->second.exchanges);
      EXPECT_EQ(emu::HexBytes(spi.back().command), older->second.command);
      EXPECT_EQ(id, older->second.id);
    }
    EXPECT_TRUE(AllReleased());
  }
  EXPECT_EQ(olderSeen, kOlderMethods.size());
}

TEST_F(FlashBridgeTest, UnanswerablePartsCostEveryCandidate) {
  // Every candidate's method, in table order.
  const std::string allMethods = test::Repeat("9F", 11) + " " + test::Repeat("15", 4) + " " + test::Repeat("9F", 8) +
                                 " 90 90 9F 9F 9F " + test::Repeat("AB", 8) + " " + test::Repeat("9F", 12);
  for (std::string_view name : {emu::kSilentPart, emu::kUnknownMakerPart, emu::kContinuationCodePart}) {
    SCOPED_TRACE(name);
    Fit(emu::PartNamed(name));
    std::uint32_t id = 0, index = 0;
    EXPECT_FALSE(IdentifyFlash(device, id, index));
    EXPECT_EQ(Sent(), allMethods);
    EXPECT_EQ(device.flashChip, nullptr);
    EXPECT_EQ(device.flashMatch, -1);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(index, 0u);
    EXPECT_TRUE(AllReleased());
  }
}

// A failed exchange passes over that candidate; the next one with the same
// method still finds the chip.
TEST_F(FlashBridgeTest, FailedExchangeTriesTheNextCandidate) {
  Fit(emu::PartForRow(46));
  bridge->Faults().OnCommand(1, emu::Fault::CallFails());
  bridge->Faults().OnCommand(2, emu::Fault::Status(2));
  std::uint32_t id = 0xFFFFFFFF, index = 0;
  ASSERT_TRUE(IdentifyFlash(device, id, index));
  EXPECT_EQ(Sent(), "9F 9F 9F");
  EXPECT_EQ(device.flashMatch, 46);
  EXPECT_EQ(id, 0x1840EFu);
}

// Without a path, the lock or SPI mode nothing is sent. A refused lock
// leaves the record as it was; a run through every candidate clears its chip.
TEST_F(FlashBridgeTest, IdentifySendsNothingWithoutPathLockOrSpiMode) {
  FitRow(46);
  std::uint32_t id = 0, index = 0;
  SetText(device.diskPath, u"");
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  EXPECT_EQ(sim.Mutexes().WaitCount(test::kMutexName), 0);
  SetText(device.diskPath, test::kDiskPath);

  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(test::kMutexName));
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  sim.Mutexes().ReleaseByForeignOwner(test::kMutexName);
  EXPECT_EQ(device.flashChip, &FlashDescriptorTable[46]);

  device.chipMode = kChipModeByte0;
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  EXPECT_EQ(device.flashChip, nullptr);
  EXPECT_EQ(device.flashMatch, 46);
  EXPECT_EQ(Commands(), 0u);
  EXPECT_TRUE(AllReleased());
}

}  // namespace
}  // namespace vx
