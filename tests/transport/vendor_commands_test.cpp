#include "transport/vendor_commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake_bridge_apis.h"

namespace vx {
namespace {

using platform::WaitResult;
using test::Bytes;
using test::FakeBridgePlatform;
using test::Hex;

const std::uint8_t kWriteEnable[] = {0x06};
const std::uint8_t kReadId[] = {0x9F};
const std::uint8_t kPageProgram2800[] = {0x02, 0x00, 0x28, 0x00};
const std::uint8_t kEightBytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
std::uint8_t g_buffer[32768];

TEST(VendorCommandBlocks, AreBuiltByteForByte) {
  const struct {
    std::function<VendorRequest()> build;
    const char* cdb;  // 16 bytes
    std::uint8_t cdbLength;
    DataDirection direction;
    std::uint32_t transferLength;
  } cases[] = {
      {[] { return BuildReadChipInfo(g_buffer); }, "D0 00 00 00 1B 7E 00 00 00 00 00 00 00 00 00 00", 6,
       DataDirection::In, 16},
      {[] { return BuildSpiCommandOut(kWriteEnable, 1, nullptr, 0); }, "E7 01 00 00 1B 7E 00 00 06 00 00 00 00 00 00 00",
       16, DataDirection::Out, 0},
      {[] { return BuildSpiCommandIn(kReadId, 1, g_buffer, 3); }, "E8 01 00 00 1B 7E 00 03 9F 00 00 00 00 00 00 00", 16,
       DataDirection::In, 3},
      {[] { return BuildSpiCommandOut(kPageProgram2800, 4, g_buffer, 256); },
       "E7 04 00 00 1B 7E 01 00 02 00 28 00 00 00 00 00", 16, DataDirection::Out, 256},
      {[] { return BuildSpiCommandOut(kEightBytes, 8, g_buffer, 0xFFFF); },
       "E7 08 00 00 1B 7E FF FF 01 02 03 04 05 06 07 08", 16, DataDirection::Out, 0xFFFF},
      {[] { return BuildWriteImageSectors(10240, g_buffer, 32768); }, "E6 00 00 00 00 14 00 00 40 00 00 00 00 00 00 00",
       10, DataDirection::Out, 32768},
      // 7232 bytes are 14 whole sectors and a part; all of them move.
      {[] { return BuildReadImageSectors(43008, g_buffer, 7232); }, "E5 00 00 00 00 54 00 00 0E 00 00 00 00 00 00 00",
       10, DataDirection::In, 7232},
      {[] { return BuildReadImageSectors(0xFFFFFFFF, g_buffer, 2); }, "E5 00 00 7F FF FF 00 00 00 00 00 00 00 00 00 00",
       10, DataDirection::In, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cdb);
    const VendorRequest request = c.build();
    EXPECT_EQ(Bytes(request.cdb, request.cdb + 16), Hex(c.cdb));
    EXPECT_EQ(request.cdbLength, c.cdbLength);
    EXPECT_EQ(request.direction, c.direction);
    EXPECT_EQ(request.transferLength, c.transferLength);
    EXPECT_EQ(request.data != nullptr, c.transferLength != 0);
  }
}

TEST(VendorCommands, BadArgumentsFailWithoutOpeningTheDevice) {
  FakeBridgePlatform fake;
  const DeviceRecord bridge = FakeBridgePlatform::Bridge();
  DeviceRecord noDisk = bridge;
  SetText(noDisk.diskPath, u"");
  std::uint8_t out[16];
  EXPECT_FALSE(SpiCommandOut(bridge, nullptr, 1, nullptr, 0));
  EXPECT_FALSE(SpiCommandOut(bridge, kWriteEnable, 0, nullptr, 0));
  EXPECT_FALSE(SpiCommandIn(bridge, kEightBytes, 9, out, 1));
  EXPECT_FALSE(SpiCommandOut(bridge, kPageProgram2800, 4, g_buffer, 0x10000));  // beyond the 16-bit length field
  EXPECT_FALSE(SpiCommandOut(bridge, kPageProgram2800, 4, nullptr, 256));
  EXPECT_FALSE(SpiCommandIn(bridge, kReadId, 1, nullptr, 3));
  EXPECT_FALSE(ReadImageSectors(bridge, 0, out, 0x10000 * 512));  // beyond the 16-bit sector count
  EXPECT_FALSE(WriteImageSectors(bridge, 0, nullptr, 512));
  EXPECT_FALSE(ReadChipInfo(bridge, nullptr));
  EXPECT_FALSE(SpiCommandIn(noDisk, kReadId, 1, out, 3));
  EXPECT_EQ(fake.scsi.opens, 0);
  EXPECT_EQ(fake.mutexes.waits, 0);
}

TEST(SendPassThrough, StatusZeroAndOneSucceedEverythingElseFails) {
  const struct {
    bool openFails, passThroughFails;
    std::uint8_t status;
    bool expected;
  } cases[] = {{false, false, 0, true},  {false, false, 1, true}, {false, false, 2, false},
               {false, false, 8, false}, {false, true, 0, false}, {true, false, 0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "status " << int(c.status) << " open fails " << c.openFails);
    FakeBridgePlatform fake;
    fake.scsi.openFails = c.openFails;
    fake.scsi.passThroughFails = c.passThroughFails;
    fake.scsi.status = c.status;
    EXPECT_EQ(WriteImageSectors(FakeBridgePlatform::Bridge(), 0, g_buffer, 512), c.expected);
    EXPECT_EQ(fake.scsi.opens, 1);
    EXPECT_EQ(fake.scsi.closes, c.openFails ? 0 : 1);
  }
}

TEST(SpiCommands, CarryCommandAndDataToTheDiskPath) {
  FakeBridgePlatform fake;
  fake.scsi.reply = {0x5A, 0xA5};
  const std::uint8_t page[3] = {0xA1, 0xB2, 0xC3};
  ASSERT_TRUE(SpiCommandOut(FakeBridgePlatform::Bridge(), kPageProgram2800, 4, page, 3));
  EXPECT_EQ(fake.scsi.path, u"\\\\?\\usbstor#disk&ven_vx");
  EXPECT_EQ(fake.scsi.outData, Bytes(page, page + 3));
  EXPECT_EQ(fake.scsi.sent[0].timeoutSeconds, 5u);

  // A one-byte read travels as two bytes; only the first is handed back.
  std::uint8_t status[2] = {0xEE, 0xEE};
  ASSERT_TRUE(SpiCommandIn(FakeBridgePlatform::Bridge(), kReadId, 1, status, 1));
  EXPECT_EQ(fake.scsi.sent[1].cdb, Hex("E8 01 00 00 1B 7E 00 02 9F 00 00 00 00 00 00 00"));
  EXPECT_EQ(fake.scsi.sent[1].transferLength, 2u);
  EXPECT_EQ(status[0], 0x5A);
  EXPECT_EQ(status[1], 0xEE);
}

TEST(VendorReads, DeliverOnSuccessAndLeaveTheBufferUntouchedOnFailure) {
  const struct {
    std::function<bool(std::uint8_t*)> read;
    std::size_t length;
  } reads[] = {
      {[](std::uint8_t* out) { return ReadChipInfo(FakeBridgePlatform::Bridge(), out); }, 16},
      {[](std::uint8_t* out) { return SpiCommandIn(FakeBridgePlatform::Bridge(), kReadId, 1, out, 3); }, 3},
      {[](std::uint8_t* out) { return ReadImageSectors(FakeBridgePlatform::Bridge(), 10240, out, 1024); }, 1024},
  };
  Bytes reply(1024);
  for (std::size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<std::uint8_t>(i + 1);
  for (const auto& r : reads) {
    for (std::uint8_t status : {0, 2}) {
      SCOPED_TRACE(testing::Message() << r.length << " bytes, status " << int(status));
      FakeBridgePlatform fake;
      fake.scsi.reply = reply;
      fake.scsi.status = status;
      Bytes out(r.length + 1, 0xFF);
      EXPECT_EQ(r.read(out.data()), status == 0);
      Bytes expected(r.length + 1, 0xFF);
      if (status == 0) std::copy_n(reply.begin(), r.length, expected.begin());
      EXPECT_EQ(out, expected);
    }
  }
}

TEST(ReadChipInfo, HoldsTheBridgeLockAroundTheCommand) {
  const struct {
    const char* name;
    WaitResult wait;
    std::uint8_t status;
    bool expected;
    int releases, opens;
  } cases[] = {
      {"lock obtained", WaitResult::Signaled, 0, true, 1, 1},
      {"command fails", WaitResult::Signaled, 2, false, 1, 1},
      {"lock held elsewhere", WaitResult::TimedOut, 0, false, 0, 0},
      {"wait failed", WaitResult::Failed, 0, false, 0, 0},
      {"abandoned lock is given back", WaitResult::Abandoned, 0, false, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeBridgePlatform fake;
    fake.mutexes.waitResult = c.wait;
    fake.scsi.status = c.status;
    std::uint8_t out[16];
    EXPECT_EQ(ReadChipInfo(FakeBridgePlatform::Bridge(), out), c.expected);
    EXPECT_EQ(fake.mutexes.waits, 1);
    EXPECT_EQ(fake.mutexes.releases, c.releases);
    EXPECT_EQ(fake.scsi.opens, c.opens);
  }
}

}  // namespace
}  // namespace vx
