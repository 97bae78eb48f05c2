#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "emulator/flash_catalogue.h"
#include "flash/flash_identify.h"
#include "flash/flash_table.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::FlashBridgeTest;

// Read-ID opcodes of candidates 0 .. last, in table order.
std::string MethodsUpTo(int last) {
  std::string text;
  for (int c = 0; c <= last; ++c) {
    if (c != 0) text += ' ';
    const std::uint8_t opcode = static_cast<std::uint8_t>(FlashDescriptorTable[c].readId.opcode);
    text += emu::HexBytes(std::span(&opcode, 1));
  }
  return text;
}

// Every candidate's method, as a flash that never answers sees them.
const std::string kAllMethods = test::Repeat("9F", 11) + " " + test::Repeat("15", 4) + " " + test::Repeat("9F", 8) +
                                " 90 90 9F 9F 9F " + test::Repeat("AB", 8) + " " + test::Repeat("9F", 12);

class IdentifyPartTest : public FlashBridgeTest, public testing::WithParamInterface<emu::FlashPart> {};

// Each part is identified by the first candidate whose method it answers
// with a known maker code; the rows before it cost one exchange each.
TEST_P(IdentifyPartTest, SelectsTheRowOfThePart) {
  const emu::FlashPart& part = GetParam();
  Fit(part);
  std::uint32_t id = 0;
  std::uint32_t index = 0;
  ASSERT_TRUE(IdentifyFlash(device, id, index));
  EXPECT_EQ(device.flashMatch, part.row);
  EXPECT_EQ(device.flashChip, &FlashDescriptorTable[part.row]);
  EXPECT_EQ(index, static_cast<std::uint32_t>(part.row));
  EXPECT_EQ(device.flashId, id);

  const auto spi = bridge->Trace().Spi();
  ASSERT_FALSE(spi.empty());
  EXPECT_EQ(Sent(), MethodsUpTo(static_cast<int>(spi.size()) - 1));
  const std::uint8_t lastMethod = spi.back().command[0];
  const bool answersJedec = std::ranges::any_of(part.ids, [](const emu::IdAnswer& a) {
    return a.opcode == 0x9F && a.bytes[0] != 0x7F;
  });
  EXPECT_EQ(lastMethod == 0x9F, answersJedec);
  if (answersJedec) {
    EXPECT_EQ(spi.size(), 1u);  // the very first candidate
  }
  EXPECT_TRUE(MutexFree());
  EXPECT_TRUE(HandlesClosed());
}

std::vector<emu::FlashPart> IdentifiableParts() {
  std::vector<emu::FlashPart> parts;
  for (const auto& part : emu::FlashCatalogue()) {
    if (part.row >= 0) parts.push_back(part);
  }
  return parts;
}

std::string PartName(const testing::TestParamInfo<emu::FlashPart>& info) {
  std::string name;
  for (char c : info.param.name) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, IdentifyPartTest, testing::ValuesIn(IdentifiableParts()), PartName);

// Methods and ID words of the parts that answer only one of the older
// read-ID commands.
TEST_F(FlashBridgeTest, OlderMethodsSendTheirCommandBytes) {
  struct Case {
    std::string_view part;
    int candidate;  // the candidate that identifies it
    std::string command;
    std::uint32_t id;
  };
  const Case cases[] = {
      {"1F 65 (0x15 only)", 11, "15", 0x651F},
      {"BF 49 (0x90 only)", 23, "90 00 00 00", 0x49BF49BF},
      {"EF 17 (0x90 only)", 23, "90 00 00 00", 0x17EF17EF},
      {"9D 7C (0xAB)", 28, "AB 00 00 00", 0x9D7C9D},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.part);
    Fit(emu::PartNamed(c.part));
    device.flashChip = nullptr;
    std::uint32_t id = 0;
    std::uint32_t index = 0;
    ASSERT_TRUE(IdentifyFlash(device, id, index));
    const auto spi = bridge->Trace().Spi();
    ASSERT_EQ(spi.size(), static_cast<std::size_t>(c.candidate + 1));
    EXPECT_EQ(emu::HexBytes(spi.back().command), c.command);
    EXPECT_EQ(spi.back().dataLength, FlashDescriptorTable[c.candidate].readId.dataLength);
    EXPECT_EQ(id, c.id);
    EXPECT_EQ(device.flashId, c.id);
  }
}

TEST_F(FlashBridgeTest, UnanswerablePartsCostEveryCandidate) {
  for (std::string_view name : {emu::kSilentPart, emu::kUnknownMakerPart, emu::kContinuationCodePart}) {
    SCOPED_TRACE(name);
    Fit(emu::PartNamed(name));
    std::uint32_t id = 0;
    std::uint32_t index = 0;
    EXPECT_FALSE(IdentifyFlash(device, id, index));
    EXPECT_EQ(Sent(), kAllMethods);
    EXPECT_EQ(device.flashChip, nullptr);
    EXPECT_EQ(device.flashMatch, -1);
    EXPECT_EQ(id, 0u);
    EXPECT_EQ(index, 0u);
    EXPECT_TRUE(MutexFree());
  }
}

// A failed exchange passes over that candidate; the next one with the same
// method still finds the chip.
TEST_F(FlashBridgeTest, FailedExchangeTriesTheNextCandidate) {
  FitRow(46);
  device.flashChip = nullptr;
  bridge->Faults().OnCommand(1, emu::Fault::CallFails());
  bridge->Faults().OnCommand(2, emu::Fault::Status(2));
  std::uint32_t id = 0;
  std::uint32_t index = 0;
  ASSERT_TRUE(IdentifyFlash(device, id, index));
  EXPECT_EQ(Sent(), "9F 9F 9F");
  EXPECT_EQ(device.flashMatch, 46);
  EXPECT_EQ(id, 0x1840EFu);
}

TEST_F(FlashBridgeTest, IdentifyFailsUntouchedWithoutPathOrLock) {
  FitRow(46);
  device.flashChip = nullptr;
  std::uint32_t id = 0;
  std::uint32_t index = 0;

  SetText(device.diskPath, u"");
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  EXPECT_EQ(sim.Mutexes().WaitCount(test::kMutexName), 0);

  SetText(device.diskPath, test::kDiskPath);
  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(test::kMutexName));
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  EXPECT_EQ(device.flashMatch, 46);  // as it was
  EXPECT_EQ(device.flashChip, nullptr);
  EXPECT_EQ(Commands(), 0u);

  sim.Mutexes().KillForeignOwner(test::kMutexName);
  EXPECT_FALSE(IdentifyFlash(device, id, index));  // abandoned: the bridge state is unknown
  EXPECT_EQ(Commands(), 0u);
  EXPECT_TRUE(MutexFree());
}

TEST_F(FlashBridgeTest, IdentifySendsNothingWhenTheFlashIsNotOnSpi) {
  FitRow(46);
  device.chipMode = kChipModeByte0;
  std::uint32_t id = 0;
  std::uint32_t index = 0;
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  EXPECT_EQ(Commands(), 0u);
  EXPECT_EQ(device.flashChip, nullptr);
  EXPECT_TRUE(MutexFree());
}

}  // namespace
}  // namespace vx
