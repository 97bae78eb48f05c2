#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

#include "flash/disk_image_operations.h"
#include "flash/flash_operations.h"
#include "flash/flash_primitives.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::Bytes;
using test::FlashBridgeTest;
using Operation = std::function<bool(const DeviceRecord&)>;

const Bytes kData = test::Pattern(1024, 4);
Bytes g_back(1024);

const Operation kProtect = [](const DeviceRecord& d) { return SetWriteProtection(d, true); };
const Operation kErase = [](const DeviceRecord& d) { return EraseChip(d); };
const Operation kProgram = [](const DeviceRecord& d) { return ProgramFlash(d, 0, kData.data(), 512); };
const Operation kRead = [](const DeviceRecord& d) { return ReadFlash(d, 0, g_back.data(), 512); };
const Operation kWriteImage = [](const DeviceRecord& d) { return WriteDiskImage(d, 10240, kData.data(), 1024); };
const Operation kReadImage = [](const DeviceRecord& d) { return ReadDiskImage(d, 10240, g_back.data(), 1024); };

// Every row's part, as found, through unprotect, erase, program, read back
// and protect: each wait polls at the row's own interval, data moves in
// page-sized chunks, the status write carries one or two bytes, behind 0x50
// where the part wants it, and the protection survives a power cycle.
TEST_F(FlashBridgeTest, EveryRowsPartGoesThroughAWholeCycle) {
  const struct {
    int row;
    std::uint32_t statusPoll, erasePoll, programPoll;
    std::uint8_t protect;
  } rows[] = {
      {1, 5, 1000, 1, 0x0C},   {3, 10, 1000, 1, 0x0C},  {4, 5, 1000, 1, 0x0C},   {5, 5, 1500, 1, 0x0C},
      {6, 40, 9999, 1, 0x3C},  {8, 40, 9999, 1, 0x3C},  {9, 5, 400, 1, 0x0C},    {10, 40, 9999, 1, 0x3C},
      {11, 60, 1100, 1, 0x0C}, {14, 60, 1100, 1, 0x0C}, {15, 1, 9000, 1, 0x3C},  {16, 15, 5000, 1, 0x3C},
      {17, 10, 1000, 1, 0x0C}, {18, 10, 1000, 1, 0x0C}, {19, 15, 6000, 1, 0x0C}, {20, 5, 850, 1, 0x0C},
      {21, 5, 850, 1, 0x0C},   {22, 5, 1700, 1, 0x0C},  {23, 10, 100, 1, 0x0C},  {24, 10, 100, 1, 0x0C},
      {25, 1, 50, 2, 0x3C},    {26, 0, 50, 1, 0x00},    {27, 0, 50, 1, 0x00},    {28, 10, 15, 2, 0x1C},
      {29, 10, 15, 2, 0x1C},   {30, 10, 15, 2, 0x1C},   {31, 60, 60, 2, 0x1C},   {32, 60, 60, 2, 0x1C},
      {33, 60, 60, 2, 0x1C},   {34, 60, 60, 2, 0x1C},   {35, 2, 2, 2, 0x1C},     {36, 2, 1000, 1, 0x7C},
      {37, 10, 3000, 1, 0x7C}, {38, 10, 2000, 1, 0x7C}, {39, 10, 1000, 1, 0x7C}, {40, 10, 500, 1, 0x7C},
      {41, 2, 5000, 1, 0x7C},  {42, 5, 5000, 1, 0x7C},  {43, 5, 8000, 2, 0x1C},  {44, 5, 8000, 2, 0x1C},
      {45, 10, 1000, 1, 0x1C}, {46, 10, 8000, 1, 0x1C}, {47, 16, 1000, 1, 0x1C},
  };
  using Polls = std::set<std::uint32_t>;
  const auto polls = [this] {
    const auto sleeps = sim.Sleeper().TakeSleeps();
    return Polls(sleeps.begin(), sleeps.end());
  };
  const Bytes data = test::Pattern(600, 5);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.row);
    FitRow(r.row);
    polls();
    const bool statusRegister = r.row != 26 && r.row != 27;
    ASSERT_TRUE(SetWriteProtection(device, false));
    EXPECT_EQ(polls(), statusRegister ? Polls{r.statusPoll} : Polls{});
    ASSERT_TRUE(EraseChip(device));
    EXPECT_EQ(polls(), Polls{r.erasePoll});
    EXPECT_TRUE(std::ranges::all_of(bridge->Flash()->Array(), [](std::uint8_t b) { return b == 0xFF; }));
    bridge->Trace().Clear();
    ASSERT_TRUE(ProgramFlash(device, 0x2800, data.data(), 600));
    EXPECT_EQ(polls(), Polls{r.programPoll});
    Bytes back(600);
    ASSERT_TRUE(ReadFlash(device, 0x2800, back.data(), 600));
    EXPECT_EQ(back, data);
    const std::uint32_t page = r.row == 4 || r.row == 5 ? 32 : r.row == 14 ? 128 : 256;
    std::vector<std::uint32_t> chunks(600 / page, page), programmed;
    chunks.push_back(600 % page);
    for (const auto& entry : bridge->Trace().Spi()) {
      if (entry.command[0] == 0x02) programmed.push_back(entry.dataLength);
    }
    EXPECT_EQ(programmed, chunks);
    const int rounds = static_cast<int>(chunks.size());
    EXPECT_EQ(SentRounds(), test::Repeat("06 02 05 04", rounds) + " " + test::Repeat("03 05", rounds));

    bridge->Trace().Clear();
    ASSERT_TRUE(SetWriteProtection(device, true));
    const bool ewsr = r.row >= 23 && r.row <= 25;
    const bool twoBytes = (r.row >= 36 && r.row <= 41) || r.row == 43 || r.row == 44;
    EXPECT_EQ(SentRounds(), std::string("06 ") + (ewsr ? "50 " : "") + (statusRegister ? "01 " : "") + "05 04");
    std::string statusWrite;
    for (const auto& entry : bridge->Trace().Spi()) {
      if (entry.command[0] == 0x01) statusWrite = emu::HexBytes(entry.command);
    }
    const std::uint8_t protect[] = {r.protect, 0x00};
    EXPECT_EQ(statusWrite, statusRegister ? "01 " + emu::HexBytes(std::span(protect, twoBytes ? 2 : 1)) : "");
    bridge->Flash()->PowerCycle();
    std::uint8_t status[1] = {};
    ASSERT_TRUE(FlashReadStatus(device, status));
    EXPECT_EQ(status[0], r.protect);
  }
}

// Write disable follows only the failed steps that may leave the flash
// write-enabled. A busy wait fails at the eleventh failed poll in a row. A
// protected chip ignores the erase; the blank check of its first page tells.
TEST_F(FlashBridgeTest, EveryFailingStepCleansUpAsItShould) {
  const struct {
    std::string name;
    int row;
    Operation operation;
    std::uint8_t failingOpcode;  // the first such command fails; every status poll for 0x05; 0: none
    std::string sent;
  } cases[] = {
      {"protect: write enable", 46, kProtect, 0x06, "06"},
      {"protect: pre-command", 24, kProtect, 0x50, "06 50 04"},
      {"protect: write status", 46, kProtect, 0x01, "06 01 04"},
      {"protect: busy wait", 46, kProtect, 0x05, "06 01 " + test::Repeat("05", 11) + " 04"},
      {"protect: write disable", 46, kProtect, 0x04, "06 01 05 04"},
      {"erase: write enable", 46, kErase, 0x06, "06"},
      {"erase: chip erase", 46, kErase, 0xC7, "06 C7 04"},
      {"erase: busy wait", 46, kErase, 0x05, "06 C7 " + test::Repeat("05", 11) + " 04"},
      {"erase: write disable", 46, kErase, 0x04, "06 C7 05 04"},
      {"erase: blank-check read", 46, kErase, 0x03, "06 C7 05 04 03"},
      {"erase: protected chip", 46, kErase, 0x00, "06 C7 05 04 03 05"},
      {"program: write enable", 46, kProgram, 0x06, "06"},
      {"program: page program", 46, kProgram, 0x02, "06 02 04"},
      {"program: busy wait", 46, kProgram, 0x05, "06 02 " + test::Repeat("05", 11) + " 04"},
      {"program: write disable", 46, kProgram, 0x04, "06 02 05 04"},
      {"read: read", 46, kRead, 0x03, "03"},
      {"read: busy wait", 46, kRead, 0x05, "03 " + test::Repeat("05", 11)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FitRow(c.row);
    if (c.failingOpcode != 0) {
      bridge->Faults().OnSpiOpcode(c.failingOpcode, emu::Fault::CallFails(), c.failingOpcode == 0x05 ? emu::kEveryTime : 1);
    }
    EXPECT_FALSE(c.operation(device));
    EXPECT_EQ(c.failingOpcode == 0x05 ? Sent() : SentRounds(), c.sent);
    EXPECT_TRUE(AllReleased());
  }
}

// A flash that stays busy is given 100 erase poll intervals, at least ten minutes.
TEST_F(FlashBridgeTest, FlashThatStaysBusyEndsTheEraseAtTheTimeLimit) {
  for (const auto& [row, limitMs, intervalMs] : {std::tuple{46, 800'000u, 8000u}, {47, 600'000u, 1000u}}) {
    SCOPED_TRACE(row);
    FitRow(row);
    Blank();
    bridge->Faults().OnSpiOpcode(0xC7, emu::Fault::StickBusy());
    const std::uint64_t start = Now();
    EXPECT_FALSE(EraseChip(device));
    EXPECT_GE(Now() - start, limitMs);
    EXPECT_LT(Now() - start, limitMs + intervalMs);
    EXPECT_EQ(SentRounds(), "06 C7 05 04");
    EXPECT_TRUE(AllReleased());
  }
}

// Records an operation cannot work with, and a lock held elsewhere, let
// nothing reach the flash; the disk-image operations need no descriptor.
TEST_F(FlashBridgeTest, OperationsNeedAUsableRecordAndTheLock) {
  FitRow(46);
  Blank();
  const Operation operations[] = {kProtect, kErase, kProgram, kRead, kWriteImage, kReadImage};
  DeviceRecord noPath = device;
  SetText(noPath.diskPath, u"");
  DeviceRecord noChip = device;
  noChip.flashChip = nullptr;
  DeviceRecord notSpi = device;
  notSpi.chipMode = kChipModeByte0;
  for (const Operation& operation : operations) {
    const bool drivesFlash = &operation - operations < 4;
    SCOPED_TRACE(&operation - operations);
    EXPECT_FALSE(operation(noPath));
    EXPECT_EQ(operation(noChip), !drivesFlash);
    if (drivesFlash) {
      EXPECT_FALSE(operation(notSpi));
    }
  }
  EXPECT_FALSE(ProgramFlash(device, 0, nullptr, 16));
  EXPECT_EQ(Commands(), 2u);  // the image operations on noChip
  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(test::kMutexName));
  for (const Operation& operation : operations) EXPECT_FALSE(operation(device));
  sim.Mutexes().ReleaseByForeignOwner(test::kMutexName);
  EXPECT_EQ(Commands(), 2u);
  EXPECT_TRUE(AllReleased());
  for (const Operation& operation : operations) EXPECT_TRUE(operation(device));
}

}  // namespace
}  // namespace vx
