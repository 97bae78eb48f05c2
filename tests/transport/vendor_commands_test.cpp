#include "transport/vendor_commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake_bridge_apis.h"

namespace vx {
namespace {

using test::Bytes;
using test::FakeBridgePlatform;
using test::Lines;

const std::uint8_t kWriteEnable[] = {0x06};
const std::uint8_t kReadId[] = {0x9F};
const std::uint8_t kPageProgram2800[] = {0x02, 0x00, 0x28, 0x00};
const std::uint8_t kEightBytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
std::uint8_t g_buffer[16];

// Every command against every outcome of the pass-through: the command block
// and the trace line it leaves, byte for byte. SCSI status 0 and 1 succeed,
// anything else fails, and so does a read that delivered a byte less than
// asked; a read hands its data over on success only and a failed one leaves
// the caller's buffer untouched; out data is only read. A path that does not
// open is still traced, as a failure. (The bridge lock held elsewhere is
// covered against the emulated bridge.)
TEST(VendorCommands, SendTheirCommandBlocksAndDeliverOnSuccessOnly) {
  const struct {
    bool openFails, passThroughFails;
    std::uint8_t status;
    std::uint32_t shortBy;
    bool ok;
  } outcomes[] = {{false, false, 0, 0, true},  {false, false, 1, 0, true},  {false, false, 2, 0, false},
                  {false, false, 8, 0, false}, {false, true, 0, 0, false},  {true, false, 0, 0, false},
                  {false, false, 0, 1, true}};
  const struct {
    std::function<bool(const DeviceRecord&, std::uint8_t*)> send;
    bool in;
    std::uint32_t transferLength, delivered;
    std::string cdb;
  } commands[] = {
      {[](auto& d, auto* b) { return ReadChipInfo(d, b); }, true, 16, 16, "D0 00 00 00 1B 7E"},
      // A one-byte read travels as two bytes.
      {[](auto& d, auto* b) { return SpiCommandIn(d, kReadId, 1, b, 1); }, true, 2, 1,
       "E8 01 00 00 1B 7E 00 02 9F 00 00 00 00 00 00 00"},
      {[](auto& d, auto* b) { return SpiCommandIn(d, kReadId, 1, b, 3); }, true, 3, 3,
       "E8 01 00 00 1B 7E 00 03 9F 00 00 00 00 00 00 00"},
      {[](auto& d, auto*) { return SpiCommandOut(d, kWriteEnable, 1, nullptr, 0); }, false, 0, 0,
       "E7 01 00 00 1B 7E 00 00 06 00 00 00 00 00 00 00"},
      {[](auto& d, auto* b) { return SpiCommandOut(d, kPageProgram2800, 4, b, 256); }, false, 256, 0,
       "E7 04 00 00 1B 7E 01 00 02 00 28 00 00 00 00 00"},
      {[](auto& d, auto* b) { return SpiCommandOut(d, kEightBytes, 8, b, 0xFFFF); }, false, 0xFFFF, 0,
       "E7 08 00 00 1B 7E FF FF 01 02 03 04 05 06 07 08"},
      {[](auto& d, auto* b) { return WriteImageSectors(d, 10240, b, 32768); }, false, 32768, 0,
       "E6 00 00 00 00 14 00 00 40 00"},
      // 7232 bytes are 14 whole sectors and a part; all of them move.
      {[](auto& d, auto* b) { return ReadImageSectors(d, 43008, b, 7232); }, true, 7232, 7232,
       "E5 00 00 00 00 54 00 00 0E 00"},
      {[](auto& d, auto* b) { return ReadImageSectors(d, 0xFFFFFFFF, b, 2); }, true, 2, 2,
       "E5 00 00 7F FF FF 00 00 00 00"},
  };
  const Bytes reply = test::Pattern(0x10000);
  for (const auto& o : outcomes) {
    for (const auto& c : commands) {
      SCOPED_TRACE(testing::Message() << c.cdb << ": status " << int(o.status) << ", open fails " << o.openFails
                                      << ", call fails " << o.passThroughFails);
      FakeBridgePlatform fake;
      fake.scsi.openFails = o.openFails;
      fake.scsi.passThroughFails = o.passThroughFails;
      fake.scsi.status = o.status;
      fake.scsi.shortBy = o.shortBy;
      fake.scsi.reply = reply;
      Bytes buffer(0x10000, 0xFF);
      const bool ok = o.ok && !(c.in && o.shortBy != 0);
      EXPECT_EQ(c.send(FakeBridgePlatform::Bridge(), buffer.data()), ok);
      Bytes expected(0x10000, 0xFF);
      if (ok) std::copy_n(reply.begin(), c.delivered, expected.begin());
      EXPECT_EQ(buffer, expected);
      EXPECT_EQ(fake.scsi.opens, 1);
      EXPECT_EQ(fake.scsi.closes, o.openFails ? 0 : 1);
      EXPECT_EQ(fake.mutexes.releases, fake.mutexes.waits);  // ReadChipInfo gives its lock back
      const std::string line = std::string(c.in ? "SCSI in " : "SCSI out ") + std::to_string(c.transferLength) + " " +
                               c.cdb + (ok ? " -> ok" : " -> fail");
      EXPECT_EQ(fake.trace.lines, Lines{line});
      if (o.openFails) continue;
      ASSERT_EQ(fake.scsi.sent.size(), 1u);
      const test::SentScsi& sent = fake.scsi.sent[0];
      EXPECT_EQ(sent.cdb, c.cdb);
      EXPECT_EQ(sent.direction, c.in ? platform::ScsiDirection::In : platform::ScsiDirection::Out);
      EXPECT_EQ(sent.transferLength, c.transferLength);
      EXPECT_EQ(sent.timeoutSeconds, 5u);
    }
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
  EXPECT_EQ(fake.trace.lines, Lines{});  // never left the program
  EXPECT_FALSE(SpiCommandIn(noDisk, kReadId, 1, out, 3));
  EXPECT_EQ(fake.scsi.opens, 0);
  EXPECT_EQ(fake.mutexes.waits, 0);
}

}  // namespace
}  // namespace vx
