#include <gtest/gtest.h>

#include <functional>

#include "flash/disk_image_operations.h"
#include "flash/flash_busy_wait.h"
#include "flash/flash_operations.h"
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

// Chunks are one page, the last one shorter, cut from the start address on;
// each is programmed in its own write-enable round and read with one poll.
TEST_F(FlashBridgeTest, ProgramAndReadInPageChunks) {
  const struct {
    int row;
    std::uint32_t address, length;
    std::vector<std::uint32_t> chunks;
  } cases[] = {{46, 0, 8704, std::vector<std::uint32_t>(34, 256)},
               {4, 10240, 100, {32, 32, 32, 4}},
               {14, 10240, 300, {128, 128, 44}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    FitRow(c.row);
    const Bytes data = test::Pattern(c.length, 9);
    ASSERT_TRUE(ProgramFlash(device, c.address, data.data(), c.length));
    EXPECT_EQ(FlashBytes(c.address, c.length), data);
    Bytes back(c.length);
    ASSERT_TRUE(ReadFlash(device, c.address, back.data(), c.length));
    EXPECT_EQ(back, data);
    const int rounds = static_cast<int>(c.chunks.size());
    EXPECT_EQ(SentRounds(), test::Repeat("06 02 05 04", rounds) + " " + test::Repeat("03 05", rounds));
    std::vector<std::uint32_t> programmed, read;
    for (const auto& entry : bridge->Trace().Spi()) {
      if (entry.command[0] == 0x02) programmed.push_back(entry.dataLength);
      if (entry.command[0] == 0x03) read.push_back(entry.dataLength);
    }
    EXPECT_EQ(programmed, c.chunks);
    EXPECT_EQ(read, c.chunks);
    EXPECT_TRUE(AllReleased());
  }
}

// One or two status bytes as the chip takes them, behind the 0x50
// pre-command where the chip wants it; nothing for a chip without a status
// register to write.
TEST_F(FlashBridgeTest, WriteProtectionWritesTheRowsStatusValue) {
  const struct {
    int row;
    bool protect;
    std::string rounds, statusWrite;
    std::uint8_t statusAfter;
  } cases[] = {
      {46, true, "06 01 05 04", "01 1C", 0x1C},    {46, false, "06 01 05 04", "01 00", 0x00},
      {36, true, "06 01 05 04", "01 7C 00", 0x7C}, {24, true, "06 50 01 05 04", "01 0C", 0x0C},
      {26, true, "06 05 04", "", 0x00},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << (c.protect ? " protect" : " unprotect"));
    FitRow(c.row);
    if (!c.protect) bridge->Flash()->SetStatus(0x1C);
    EXPECT_TRUE(SetWriteProtection(device, c.protect));
    EXPECT_EQ(SentRounds(), c.rounds);
    std::string statusWrite;
    for (const auto& entry : bridge->Trace().Spi()) {
      if (entry.command[0] == 0x01) statusWrite = emu::HexBytes(entry.command);
    }
    EXPECT_EQ(statusWrite, c.statusWrite);
    EXPECT_EQ(bridge->Flash()->Status(0), c.statusAfter);
  }
}

// An erase ends with a read of the first page that must come back blank.
TEST_F(FlashBridgeTest, EraseEndsByBlankCheck) {
  FitRow(46);
  ASSERT_TRUE(ProgramFlash(device, 0, kData.data(), 1024));
  bridge->Trace().Clear();
  ASSERT_TRUE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05");
  const auto spi = bridge->Trace().Spi();
  EXPECT_EQ(spi.at(spi.size() - 2).dataLength, 256u);  // the blank-check read
  EXPECT_EQ(FlashBytes(0, 1024), Bytes(1024, 0xFF));
  const std::size_t lastPoll = Commands();

  // The poll after the blank-check read failing still sends write disable.
  FitRow(46);
  for (std::size_t n = lastPoll; n < lastPoll + 11; ++n) bridge->Faults().OnCommand(n, emu::Fault::CallFails());
  EXPECT_FALSE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05 04");

  // A chip that is not blank does not.
  FitRow(46);
  bridge->Flash()->Array()[200] = 0x00;
  bridge->Faults().OnSpiOpcode(0xC7, emu::Fault::IgnoreWrite());
  EXPECT_FALSE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05");
  EXPECT_TRUE(AllReleased());
}

// A flash that keeps its protection refuses erase and program without
// telling; the blank check and the read-back show it.
TEST_F(FlashBridgeTest, ProtectedFlashFailsVerification) {
  FitRow(46);
  const Bytes old = test::Pattern(512, 1);
  ASSERT_TRUE(ProgramFlash(device, 0, old.data(), 512));
  ASSERT_TRUE(SetWriteProtection(device, true));
  EXPECT_FALSE(EraseChip(device));
  EXPECT_TRUE(ProgramFlash(device, 0, kData.data(), 512));
  Bytes back(512);
  ASSERT_TRUE(ReadFlash(device, 0, back.data(), 512));
  EXPECT_EQ(back, old);
}

// Each failing step ends the operation with false; write disable follows
// only the steps that may leave the flash write-enabled. A busy wait fails
// after ten tolerated failed polls, at the eleventh.
TEST_F(FlashBridgeTest, EveryFailingStepCleansUpAsItShould) {
  const struct {
    std::string name;
    int row;
    Operation operation;
    std::uint8_t failingOpcode;  // the first such command fails; every status poll for 0x05
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
    bridge->Faults().OnSpiOpcode(c.failingOpcode, emu::Fault::CallFails(), c.failingOpcode == 0x05 ? emu::kEveryTime : 1);
    EXPECT_FALSE(c.operation(device));
    EXPECT_EQ(c.failingOpcode == 0x05 ? Sent() : SentRounds(), c.sent);
    EXPECT_TRUE(AllReleased());
  }
}

TEST_F(FlashBridgeTest, FlashThatStaysBusyEndsTheEraseAtTheTimeLimit) {
  FitRow(46);
  bridge->Faults().OnSpiOpcode(0xC7, emu::Fault::StickBusy());
  EXPECT_FALSE(EraseChip(device));
  const std::uint64_t limit = BusyWaitLimitMs(*device.flashChip);
  EXPECT_GE(Now(), limit);
  EXPECT_LT(Now(), limit + device.flashChip->chipErase.pollIntervalMs);
  EXPECT_EQ(SentRounds(), "06 C7 05 04");
  EXPECT_TRUE(AllReleased());
}

// Records an operation cannot work with are refused before the lock is
// waited for; the disk-image operations need no flash descriptor, and flash
// commands do not reach a flash the bridge does not drive over SPI. Nothing
// to program or read takes the lock only. A lock held elsewhere (how long it
// is waited for is the lock's business) lets no operation send anything.
TEST_F(FlashBridgeTest, OperationsNeedAUsableRecordAndTheLock) {
  FitRow(46);
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
  EXPECT_FALSE(ReadFlash(device, 0, nullptr, 16));
  EXPECT_TRUE(ProgramFlash(device, 0, nullptr, 0));
  EXPECT_TRUE(ReadFlash(device, 0, nullptr, 0));
  EXPECT_EQ(sim.Mutexes().WaitCount(test::kMutexName), 8);  // image on noChip, notSpi, nothing to move
  EXPECT_EQ(Commands(), 2u);                                 // the image operations on noChip

  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(test::kMutexName));
  for (const Operation& operation : operations) EXPECT_FALSE(operation(device));
  EXPECT_EQ(sim.Mutexes().WaitCount(test::kMutexName), 14);
  sim.Mutexes().ReleaseByForeignOwner(test::kMutexName);
  EXPECT_EQ(Commands(), 2u);
  EXPECT_TRUE(AllReleased());
  for (const Operation& operation : operations) EXPECT_TRUE(operation(device));
}

}  // namespace
}  // namespace vx
