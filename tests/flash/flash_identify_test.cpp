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

// Where each read-ID method is first tried, and its command bytes.
struct Method {
  std::size_t firstCandidate;
  std::string command;
};
const std::map<std::uint8_t, Method> kMethods = {
    {0x9F, {1, "9F"}}, {0x15, {12, "15"}}, {0x90, {24, "90 00 00 00"}}, {0xAB, {29, "AB 00 00 00"}}};
// ID words of parts found by the older methods.
const std::map<std::string_view, std::uint32_t> kOlderIds = {
    {"1F 65 (0x15 only)", 0x651F}, {"BF 49 (0x90 only)", 0x49BF49BF},
    {"EF 17 (0x90 only)", 0x17EF17EF}, {"9D 7C (0xAB)", 0x9D7C9D}};

// Each part is found by the first candidate whose method it answers with a
// known maker code (a continuation code is none).
TEST_F(FlashBridgeTest, IdentifiesEveryPartOfTheCatalogue) {
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
    const auto answered =
        std::ranges::find_if(part.ids, [](const emu::IdAnswer& a) { return a.opcode != 0x9F || a.bytes[0] != 0x7F; });
    const Method& method = kMethods.at(answered->opcode);
    const auto spi = bridge->Trace().Spi();
    EXPECT_EQ(spi.size(), method.firstCandidate);
    EXPECT_EQ(emu::HexBytes(spi.back().command), method.command);
    if (const auto older = kOlderIds.find(part.name); older != kOlderIds.end()) {
      EXPECT_EQ(id, older->second);
    }
    EXPECT_TRUE(AllReleased());
  }
}

TEST_F(FlashBridgeTest, UnanswerablePartsCostEveryCandidateInTableOrder) {
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
  }
}

// A failed exchange passes over that candidate; the next one with the same
// method still finds the chip.
TEST_F(FlashBridgeTest, FailedExchangeTriesTheNextCandidate) {
  Fit(emu::PartForRow(46));
  bridge->Faults().OnCommand(1, emu::Fault::CallFails());
  bridge->Faults().OnCommand(2, emu::Fault::Status(2));
  std::uint32_t id = 0, index = 0;
  ASSERT_TRUE(IdentifyFlash(device, id, index));
  EXPECT_EQ(Sent(), "9F 9F 9F");
  EXPECT_EQ(device.flashMatch, 46);
}

// Without a path, the lock or SPI mode nothing is sent, and no chip is left
// in the record.
TEST_F(FlashBridgeTest, IdentifySendsNothingWithoutPathLockOrSpiMode) {
  FitRow(46);
  std::uint32_t id = 0, index = 0;
  SetText(device.diskPath, u"");
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  SetText(device.diskPath, test::kDiskPath);
  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(test::kMutexName));
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  sim.Mutexes().ReleaseByForeignOwner(test::kMutexName);
  device.chipMode = kChipModeByte0;
  EXPECT_FALSE(IdentifyFlash(device, id, index));
  EXPECT_EQ(device.flashChip, nullptr);
  EXPECT_EQ(Commands(), 0u);
  EXPECT_TRUE(AllReleased());
}

}  // namespace
}  // namespace vx
