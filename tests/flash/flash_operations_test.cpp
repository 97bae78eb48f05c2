#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "flash/flash_operations.h"
#include "flash/flash_primitives.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::Bytes;
using test::FlashBridgeTest;
using test::Repeat;

TEST_F(FlashBridgeTest, ProgramAndReadConfigurationAndCode) {
  FitRow(46);
  const Bytes data = test::Pattern(8704, 1);
  ASSERT_TRUE(ProgramFlash(device, 0, data.data(), 8704));
  EXPECT_EQ(SentRounds(), Repeat("06 02 05 04", 34));
  const auto spi = bridge->Trace().Spi();
  std::uint32_t next = 0;
  for (const auto& entry : spi) {
    if (entry.command[0] != 0x02) continue;
    EXPECT_EQ(entry.command[1] << 16 | entry.command[2] << 8 | entry.command[3], static_cast<int>(next));
    EXPECT_EQ(entry.dataLength, 256u);
    next += 256;
  }
  EXPECT_EQ(FlashBytes(0, 8704), data);

  bridge->Trace().Clear();
  Bytes back(8704, 0xFF);
  ASSERT_TRUE(ReadFlash(device, 0, back.data(), 8704));
  EXPECT_EQ(back, data);
  EXPECT_EQ(SentRounds(), Repeat("03 05", 34));
  EXPECT_TRUE(MutexFree());
  EXPECT_TRUE(HandlesClosed());
}

// Chunks are one page, the last one shorter, cut from the start address on.
TEST_F(FlashBridgeTest, ChunksFollowThePageSize) {
  struct Case {
    int row;
    std::uint32_t length;
    std::vector<std::uint32_t> chunks;
  };
  const Case cases[] = {{4, 100, {32, 32, 32, 4}}, {14, 300, {128, 128, 44}}, {46, 256, {256}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    FitRow(c.row);
    const Bytes data = test::Pattern(c.length, 9);
    ASSERT_TRUE(ProgramFlash(device, 10240, data.data(), c.length));
    Bytes back(c.length);
    ASSERT_TRUE(ReadFlash(device, 10240, back.data(), c.length));
    EXPECT_EQ(back, data);
    std::vector<std::uint32_t> programmed;
    std::vector<std::uint32_t> read;
    for (const auto& entry : bridge->Trace().Spi()) {
      if (entry.command[0] == 0x02) programmed.push_back(entry.dataLength);
      if (entry.command[0] == 0x03) read.push_back(entry.dataLength);
    }
    EXPECT_EQ(programmed, c.chunks);
    EXPECT_EQ(read, c.chunks);
  }
}

TEST_F(FlashBridgeTest, EmptyProgramAndReadTakeTheLockOnly) {
  FitRow(46);
  EXPECT_TRUE(ProgramFlash(device, 0, nullptr, 0));
  EXPECT_TRUE(ReadFlash(device, 0, nullptr, 0));
  EXPECT_EQ(Commands(), 0u);
  EXPECT_EQ(sim.Mutexes().WaitCount(test::kMutexName), 2);
  EXPECT_TRUE(MutexFree());
}

TEST_F(FlashBridgeTest, WriteProtectionWritesTheRowsStatusValue) {
  struct Case {
    int row;
    bool protect;
    std::string rounds;
    std::string statusWrite;
    std::uint8_t statusAfter;
  };
  const Case cases[] = {
      {46, true, "06 01 05 04", "01 1C", 0x1C},    {46, false, "06 01 05 04", "01 00", 0x00},
      {36, true, "06 01 05 04", "01 7C 00", 0x7C}, {24, true, "06 50 01 05 04", "01 0C", 0x0C},
      {26, true, "06 05 04", "", 0x00},
  };
  for (const Case& c : cases) {
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

TEST_F(FlashBridgeTest, EraseLeavesTheChipBlank) {
  FitRow(46);
  const Bytes data = test::Pattern(4096, 5);
  ASSERT_TRUE(ProgramFlash(device, 0, data.data(), 4096));
  bridge->Trace().Clear();
  ASSERT_TRUE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05");
  EXPECT_EQ(FlashBytes(0, 4096), Bytes(4096, 0xFF));
  EXPECT_EQ(bridge->Trace().Spi().at(bridge->Trace().Spi().size() - 2).dataLength, 256u);
}

// A flash that keeps its protection refuses erase and program without
// telling; the blank check and the read-back show it.
TEST_F(FlashBridgeTest, ProtectedFlashFailsVerification) {
  FitRow(46);
  const Bytes old = test::Pattern(512, 1);
  ASSERT_TRUE(ProgramFlash(device, 0, old.data(), 512));
  ASSERT_TRUE(SetWriteProtection(device, true));
  bridge->Trace().Clear();
  EXPECT_FALSE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05");  // no write disable after the blank check

  const Bytes data = test::Pattern(512, 2);
  EXPECT_TRUE(ProgramFlash(device, 0, data.data(), 512));
  Bytes back(512);
  ASSERT_TRUE(ReadFlash(device, 0, back.data(), 512));
  EXPECT_EQ(back, old);
  EXPECT_NE(back, data);
}

using Operation = std::function<bool(const DeviceRecord&)>;

Operation Protect() {
  return [](const DeviceRecord& d) { return SetWriteProtection(d, true); };
}
Operation Erase() { return [](const DeviceRecord& d) { return EraseChip(d); }; }
Operation Program() {
  return [](const DeviceRecord& d) {
    static const Bytes data = test::Pattern(512, 4);
    return ProgramFlash(d, 0, data.data(), 512);
  };
}
Operation Read() {
  return [](const DeviceRecord& d) {
    static Bytes back(512);
    return ReadFlash(d, 0, back.data(), 512);
  };
}

// Each failing step ends the operation with false; write disable follows
// only the steps that may leave the flash write-enabled.
TEST_F(FlashBridgeTest, EveryFailingStepCleansUpAsItShould) {
  constexpr int kAlways = 0;
  struct Case {
    std::string name;
    int row;
    Operation operation;
    std::uint8_t failingOpcode;
    int times;  // 1: the first such command fails; kAlways: every one
    std::string rounds;
  };
  const Case cases[] = {
      {"protect: write enable", 46, Protect(), 0x06, 1, "06"},
      {"protect: pre-command", 24, Protect(), 0x50, 1, "06 50 04"},
      {"protect: write status", 46, Protect(), 0x01, 1, "06 01 04"},
      {"protect: busy wait", 46, Protect(), 0x05, kAlways, "06 01 05 04"},
      {"protect: write disable", 46, Protect(), 0x04, 1, "06 01 05 04"},
      {"erase: write enable", 46, Erase(), 0x06, 1, "06"},
      {"erase: chip erase", 46, Erase(), 0xC7, 1, "06 C7 04"},
      {"erase: busy wait", 46, Erase(), 0x05, kAlways, "06 C7 05 04"},
      {"erase: write disable", 46, Erase(), 0x04, 1, "06 C7 05 04"},
      {"erase: blank-check read", 46, Erase(), 0x03, 1, "06 C7 05 04 03"},
      {"program: write enable", 46, Program(), 0x06, 1, "06"},
      {"program: page program", 46, Program(), 0x02, 1, "06 02 04"},
      {"program: busy wait", 46, Program(), 0x05, kAlways, "06 02 05 04"},
      {"program: write disable", 46, Program(), 0x04, 1, "06 02 05 04"},
      {"read: read", 46, Read(), 0x03, 1, "03"},
      {"read: busy wait", 46, Read(), 0x05, kAlways, "03 05"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FitRow(c.row);
    if (c.times == kAlways) {
      bridge->Faults().OnSpiOpcode(c.failingOpcode, emu::Fault::CallFails());
    } else {
      bridge->Faults().OnSpiOpcode(c.failingOpcode, emu::Fault::CallFails(), c.times);
    }
    EXPECT_FALSE(c.operation(device));
    EXPECT_EQ(SentRounds(), c.rounds);
    if (c.failingOpcode == 0x05) {
      EXPECT_EQ(StatusPolls(), 11u);  // ten failed polls tolerated, the eleventh ends the wait
    }
    EXPECT_TRUE(MutexFree());
    EXPECT_TRUE(HandlesClosed());
  }
  EXPECT_EQ(sim.Mutexes().FailedReleases(), 0);
}

// The status poll after the blank-check read is the last step of an erase:
// its failure still sends write disable; a chip that is not blank does not.
TEST_F(FlashBridgeTest, EraseEndsByBlankCheck) {
  FitRow(46);
  ASSERT_TRUE(EraseChip(device));
  const std::size_t lastPoll = Commands();

  FitRow(46);
  for (std::size_t n = lastPoll; n < lastPoll + 11; ++n) bridge->Faults().OnCommand(n, emu::Fault::CallFails());
  EXPECT_FALSE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05 04");

  FitRow(46);
  bridge->Flash()->Array()[200] = 0x00;
  bridge->Faults().OnSpiOpcode(0xC7, emu::Fault::IgnoreWrite());
  EXPECT_FALSE(EraseChip(device));
  EXPECT_EQ(SentRounds(), "06 C7 05 04 03 05");
  EXPECT_TRUE(MutexFree());
}

TEST_F(FlashBridgeTest, FlashThatStaysBusyEndsTheEraseAtTheTimeLimit) {
  FitRow(46);
  bridge->Faults().OnSpiOpcode(0xC7, emu::Fault::StickBusy());
  EXPECT_FALSE(EraseChip(device));
  const std::uint64_t limit = BusyWaitLimitMs(*device.flashChip);
  EXPECT_GE(Now(), limit);
  EXPECT_LT(Now(), limit + device.flashChip->chipErase.pollIntervalMs);
  EXPECT_EQ(SentRounds(), "06 C7 05 04");
  EXPECT_TRUE(MutexFree());
}

struct NamedOperation {
  std::string name;
  bool drivesFlash;  // false: the disk-image operations, which need no flash descriptor
  Operation run;
};

std::vector<NamedOperation> EveryOperation() {
  return {{"protect", true, Protect()},
          {"erase", true, Erase()},
          {"program", true, Program()},
          {"read", true, Read()},
          {"write image", false, [](const DeviceRecord& d) {
             static const Bytes data = test::Pattern(1024, 6);
             return WriteDiskImage(d, 10240, data.data(), 1024);
           }},
          {"read image", false, [](const DeviceRecord& d) {
             static Bytes back(1024);
             return ReadDiskImage(d, 10240, back.data(), 1024);
           }}};
}

TEST_F(FlashBridgeTest, OperationsSendNothingWithoutTheLock) {
  FitRow(46);
  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(test::kMutexName));
  for (const NamedOperation& operation : EveryOperation()) {
    SCOPED_TRACE(operation.name);
    const std::uint64_t start = Now();
    EXPECT_FALSE(operation.run(device));
    EXPECT_EQ(Now() - start, 5000u);
  }
  sim.Mutexes().KillForeignOwner(test::kMutexName);
  EXPECT_FALSE(Read()(device));  // abandoned: handed back at once, still a failure
  EXPECT_TRUE(MutexFree());
  EXPECT_EQ(Commands(), 0u);
  for (const NamedOperation& operation : EveryOperation()) EXPECT_TRUE(operation.run(device)) << operation.name;
}

TEST_F(FlashBridgeTest, OperationsRefuseUnusableRecordsBeforeWaiting) {
  FitRow(46);
  DeviceRecord noPath = device;
  SetText(noPath.diskPath, u"");
  DeviceRecord noChip = device;
  noChip.flashChip = nullptr;
  for (const NamedOperation& operation : EveryOperation()) {
    SCOPED_TRACE(operation.name);
    EXPECT_FALSE(operation.run(noPath));
    EXPECT_EQ(operation.run(noChip), !operation.drivesFlash);
  }
  EXPECT_FALSE(ProgramFlash(device, 0, nullptr, 16));
  EXPECT_FALSE(ReadFlash(device, 0, nullptr, 16));
  EXPECT_EQ(sim.Mutexes().WaitCount(test::kMutexName), 2);  // only the two image operations on noChip

  // Flash commands do not reach a flash the bridge does not drive over SPI.
  DeviceRecord notSpi = device;
  notSpi.chipMode = kChipModeByte0;
  const std::size_t imageCommands = Commands();
  for (const NamedOperation& operation : EveryOperation()) {
    if (operation.drivesFlash) {
      EXPECT_FALSE(operation.run(notSpi)) << operation.name;
    }
  }
  EXPECT_EQ(Commands(), imageCommands);
  EXPECT_TRUE(MutexFree());
}

}  // namespace
}  // namespace vx
