#include <gtest/gtest.h>

#include <functional>

#include "flash/flash_busy_wait.h"
#include "flash/flash_primitives.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::Bytes;
using test::FlashBridgeTest;

// Every primitive, for the checks that apply to all of them.
std::vector<std::pair<std::string, std::function<bool(const DeviceRecord&)>>> EveryPrimitive() {
  static std::uint8_t buffer[256];
  static std::uint32_t id;
  return {
      {"read id", [](const DeviceRecord& d) { return FlashReadId(d, id); }},
      {"write enable", [](const DeviceRecord& d) { return FlashWriteEnable(d, true); }},
      {"write disable", [](const DeviceRecord& d) { return FlashWriteEnable(d, false); }},
      {"read status", [](const DeviceRecord& d) { return FlashReadStatus(d, buffer); }},
      {"write status", [](const DeviceRecord& d) { return FlashWriteStatus(d, std::span(buffer, 2)); }},
      {"chip erase", [](const DeviceRecord& d) { return FlashChipErase(d); }},
      {"page program", [](const DeviceRecord& d) { return FlashPageProgram(d, 0, buffer, 256); }},
      {"read", [](const DeviceRecord& d) { return FlashRead(d, 0, buffer, 256); }},
  };
}

TEST_F(FlashBridgeTest, PrimitivesSendNothingWithoutWhatTheyNeed) {
  FitRow(46);
  DeviceRecord noChip = device;
  noChip.flashChip = nullptr;
  DeviceRecord notSpi = device;
  notSpi.chipMode = kChipModeByte2;
  DeviceRecord noPath = device;
  SetText(noPath.diskPath, u"");
  FlashDescriptor noWriteDisable = FlashDescriptorTable[46];
  noWriteDisable.writeDisable.opcode = 0;
  DeviceRecord halfWriteEnable = device;
  halfWriteEnable.flashChip = &noWriteDisable;
  for (const auto& [name, primitive] : EveryPrimitive()) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(primitive(noChip));
    EXPECT_FALSE(primitive(notSpi));
  }
  EXPECT_FALSE(FlashWriteEnable(halfWriteEnable, true));
  EXPECT_FALSE(FlashReadStatus(device, std::span<std::uint8_t>()));  // no room for the status byte
  EXPECT_FALSE(WaitWhileBusy(noPath, 1));
  EXPECT_FALSE(WaitWhileBusy(noChip, 1));
  EXPECT_EQ(Now(), 0u);
  // No status register to write: nothing to do, whatever the mode.
  DeviceRecord noWriteStatus = notSpi;
  noWriteStatus.flashChip = &FlashDescriptorTable[26];
  EXPECT_TRUE(FlashWriteStatus(noWriteStatus, std::span<const std::uint8_t>()));
  EXPECT_EQ(Commands(), 0u);
}

// Addresses keep their low 24 bits; a status read fills only the bytes the
// chip's status has, and only when it succeeds.
TEST_F(FlashBridgeTest, ExchangesCarryAddressesAndData) {
  FitRow(46);
  Blank();
  const Bytes data = test::Pattern(16, 3);
  ASSERT_TRUE(FlashWriteEnable(device, true));
  ASSERT_TRUE(FlashPageProgram(device, 0x7F002810, data.data(), 16));
  sim.Clock().Advance(10);
  Bytes back(16);
  ASSERT_TRUE(FlashRead(device, 0xAB002810, back.data(), 16));
  EXPECT_EQ(back, data);
  EXPECT_EQ(FlashBytes(0x2810, 16), data);
  Bytes status = {0xAA, 0xAA};
  ASSERT_TRUE(FlashReadStatus(device, status));
  EXPECT_EQ(status, (Bytes{0x00, 0xAA}));
  const auto spi = bridge->Trace().Spi();
  EXPECT_EQ(emu::HexBytes(spi.at(1).command), "02 00 28 10");
  EXPECT_EQ(emu::HexBytes(spi.at(2).command), "03 00 28 10");

  // A failed read leaves the caller's value alone.
  bridge->Faults().OnOpcode(0xE8, emu::Fault::Status(2));
  std::uint32_t id = 0x12345678;
  EXPECT_FALSE(FlashReadId(device, id));
  EXPECT_FALSE(FlashReadStatus(device, status));
  EXPECT_EQ(id, 0x12345678u);
  EXPECT_EQ(status, (Bytes{0x00, 0xAA}));
}

TEST_F(FlashBridgeTest, WaitWhileBusyToleratesTenFailedReads) {
  const struct {
    std::uint32_t failures;
    bool idle;
    std::size_t reads;
  } cases[] = {{0, true, 1}, {10, true, 11}, {11, false, 11}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failures);
    FitRow(46);
    if (c.failures != 0) bridge->Faults().OnSpiOpcode(0x05, emu::Fault::CallFails(), c.failures);
    const std::uint64_t start = Now();
    EXPECT_EQ(WaitWhileBusy(device, 7), c.idle);
    EXPECT_EQ(Commands(), c.reads);
    EXPECT_EQ(Now() - start, 7u * std::min<std::uint32_t>(c.failures, 10));  // a sleep after each failed read
  }

  // Only failures in a row count: ten before and ten after a read that finds
  // the chip still busy with its erase are tolerated.
  FitRow(46);
  Blank();
  ASSERT_TRUE(FlashWriteEnable(device, true));
  ASSERT_TRUE(FlashChipErase(device));
  for (std::uint64_t n = 3; n <= 23; ++n) {
    if (n != 13) bridge->Faults().OnCommand(n, emu::Fault::CallFails());
  }
  EXPECT_TRUE(WaitWhileBusy(device, emu::PartForRow(46).eraseMs / 15));
  EXPECT_EQ(Commands(), 24u);
}

}  // namespace
}  // namespace vx
