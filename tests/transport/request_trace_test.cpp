#include "transport/request_trace.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "fake_bridge_apis.h"
#include "transport/usb_requests.h"
#include "transport/vendor_commands.h"

namespace vx {
namespace {

using test::FakeBridgePlatform;
using Lines = std::vector<std::string>;

class RequestTraceTest : public ::testing::Test {
 protected:
  RequestTraceTest() { SetRequestTraceSink([this](std::string_view line) { lines.emplace_back(line); }); }
  ~RequestTraceTest() override { SetRequestTraceSink({}); }

  FakeBridgePlatform fake;
  const DeviceRecord bridge = FakeBridgePlatform::Bridge();
  Lines lines;
};

TEST_F(RequestTraceTest, OneLinePerRequestThatReachedTheDevicePath) {
  const std::uint8_t readId[] = {0x9F};
  const std::uint8_t writeEnable[] = {0x06};
  static std::uint8_t buffer[32768];
  fake.winusb.reply.assign(16, 0x11);
  ASSERT_TRUE(ReadChipInfo(bridge, buffer));
  ASSERT_TRUE(SpiCommandIn(bridge, readId, 1, buffer, 3));
  ASSERT_TRUE(SpiCommandOut(bridge, writeEnable, 1, nullptr, 0));
  ASSERT_TRUE(WriteImageSectors(bridge, 10240, buffer, 32768));
  ASSERT_TRUE(ReadChipInfoUsb(bridge, buffer));
  ASSERT_TRUE(ReadStatusUsb(bridge, buffer));
  fake.winusb.reply.resize(15);  // short: the request failed
  EXPECT_FALSE(ReadChipInfoUsb(bridge, buffer));
  fake.scsi.status = 2;
  EXPECT_FALSE(SpiCommandIn(bridge, readId, 1, buffer, 1));
  fake.scsi.openFails = fake.winusb.openFails = true;
  EXPECT_FALSE(ReadImageSectors(bridge, 0, buffer, 512));
  EXPECT_FALSE(ReadStatusUsb(bridge, buffer));
  // Stopped before any device path: not traced.
  fake.mutexes.waitResult = platform::WaitResult::TimedOut;
  EXPECT_FALSE(ReadChipInfo(bridge, buffer));
  EXPECT_FALSE(ReadChipInfoUsb(bridge, buffer));
  EXPECT_FALSE(SpiCommandIn(bridge, nullptr, 1, buffer, 3));

  EXPECT_EQ(lines, (Lines{
                       "SCSI in 16 D0 00 00 00 1B 7E -> ok",
                       "SCSI in 3 E8 01 00 00 1B 7E 00 03 9F 00 00 00 00 00 00 00 -> ok",
                       "SCSI out 0 E7 01 00 00 1B 7E 00 00 06 00 00 00 00 00 00 00 -> ok",
                       "SCSI out 32768 E6 00 00 00 00 14 00 00 40 00 -> ok",
                       "USB C0 F1 7E1B 0001 16 -> ok",
                       "USB C0 F1 0000 0000 2 -> ok",
                       "USB C0 F1 7E1B 0001 16 -> fail",
                       "SCSI in 2 E8 01 00 00 1B 7E 00 02 9F 00 00 00 00 00 00 00 -> fail",
                       "SCSI in 512 E5 00 00 00 00 00 00 00 01 00 -> fail",
                       "USB C0 F1 0000 0000 2 -> fail",
                   }));
}

TEST_F(RequestTraceTest, LinesFromTwoThreadsArriveWhole) {
  const platform::UsbSetupPacket setup{0xC0, 0xF1, 0, 0, 2};
  auto traceMany = [&] {
    for (int i = 0; i < 200; ++i) TraceUsbRequest(setup, true);
  };
  std::thread other(traceMany);
  traceMany();
  other.join();
  EXPECT_EQ(lines, Lines(400, "USB C0 F1 0000 0000 2 -> ok"));
}

}  // namespace
}  // namespace vx
