#include "transport/usb_requests.h"

#include <gtest/gtest.h>

#include "fake_bridge_apis.h"

namespace vx {
namespace {

using test::Bytes;
using test::FakeBridgePlatform;

Bytes Counting(std::size_t n) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(0x30 + i);
  return bytes;
}

TEST(UsbRequests, SendTheirSetupPacketsAndDeliverTheReply) {
  const struct {
    bool (*request)(const DeviceRecord&, std::uint8_t*);
    std::uint16_t value, index, length;
  } cases[] = {{ReadChipInfoUsb, 0x7E1B, 0x0001, 16}, {ReadStatusUsb, 0, 0, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    FakeBridgePlatform fake;
    fake.winusb.reply = Counting(c.length);
    Bytes out(c.length, 0xFF);
    ASSERT_TRUE(c.request(FakeBridgePlatform::Bridge(), out.data()));
    EXPECT_EQ(out, fake.winusb.reply);
    const platform::UsbSetupPacket& sent = fake.winusb.setups.at(0);
    EXPECT_EQ(sent.requestType, 0xC0);
    EXPECT_EQ(sent.request, 0xF1);
    EXPECT_EQ(sent.value, c.value);
    EXPECT_EQ(sent.index, c.index);
    EXPECT_EQ(sent.length, c.length);
    EXPECT_EQ(fake.winusb.closes, 1);
    EXPECT_EQ(fake.winusb.frees, 1);
    EXPECT_EQ(fake.mutexes.releases, 1);
  }
}

// Every failure: false, the caller's buffer untouched, every handle closed
// again, and the lock released exactly when it was obtained.
TEST(UsbRequests, FailCleanlyOnEveryPath) {
  const struct {
    const char* name;
    void (*arrange)(FakeBridgePlatform&, DeviceRecord&);
    int waits, releases, opens, closes, frees;
  } cases[] = {
      {"no WinUSB path", [](FakeBridgePlatform&, DeviceRecord& d) { SetText(d.winusbPath, u""); }, 0, 0, 0, 0, 0},
      {"lock held elsewhere",
       [](FakeBridgePlatform& f, DeviceRecord&) { f.mutexes.waitResult = platform::WaitResult::TimedOut; }, 1, 0, 0,
       0, 0},
      {"no mutex", [](FakeBridgePlatform&, DeviceRecord& d) { d.mutex = platform::MutexHandle::None; }, 0, 0, 0, 0, 0},
      {"path does not open", [](FakeBridgePlatform& f, DeviceRecord&) { f.winusb.openFails = true; }, 1, 1, 1, 0, 0},
      {"no WinUSB driver", [](FakeBridgePlatform& f, DeviceRecord&) { f.winusb.initializeFails = true; }, 1, 1, 1, 1,
       0},
      {"transfer fails", [](FakeBridgePlatform& f, DeviceRecord&) { f.winusb.transferFails = true; }, 1, 1, 1, 1, 1},
      {"short transfer", [](FakeBridgePlatform& f, DeviceRecord&) { f.winusb.reply = Counting(15); }, 1, 1, 1, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeBridgePlatform fake;
    fake.winusb.reply = Counting(16);
    DeviceRecord bridge = FakeBridgePlatform::Bridge();
    c.arrange(fake, bridge);
    Bytes out(16, 0xFF);
    EXPECT_FALSE(ReadChipInfoUsb(bridge, out.data()));
    EXPECT_EQ(out, Bytes(16, 0xFF));
    EXPECT_EQ(fake.mutexes.waits, c.waits);
    EXPECT_EQ(fake.mutexes.releases, c.releases);
    EXPECT_EQ(fake.winusb.opens, c.opens);
    EXPECT_EQ(fake.winusb.closes, c.closes);
    EXPECT_EQ(fake.winusb.frees, c.frees);
  }
}

}  // namespace
}  // namespace vx
