#include "platform/linux/linux_winusb.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/text.h"
#include "tests/support/fake_system_tree.h"

namespace vx::platform::linux_backend {
namespace {

using testing::FakeSystemTree;
using testing::LinuxMachineListing;

// Stands in for libusb: records what reaches it and answers as told.
class FakeUsbAccess : public UsbDeviceAccess {
 public:
  int Open(const UsbAddress& address, UsbId& ids, UsbDeviceToken& device) override {
    opened.push_back(address);
    if (openResult < 0) return openResult;
    ids = present;
    device = ++lastToken;
    ++openDevices;
    return 0;
  }
  int ControlTransfer(UsbDeviceToken, const UsbSetupPacket& setup, std::uint8_t* data, std::uint32_t timeoutMs) override {
    requests.push_back(setup);
    timeouts.push_back(timeoutMs);
    for (int i = 0; i < transferResult; ++i) data[i] = static_cast<std::uint8_t>(0xA0 + i);
    return transferResult;
  }
  void Close(UsbDeviceToken) override { --openDevices; }

  int openResult = 0;
  UsbId present{0x1B7E, 0x94C6};
  int transferResult = 16;
  std::vector<UsbAddress> opened;
  std::vector<UsbSetupPacket> requests;
  std::vector<std::uint32_t> timeouts;
  int openDevices = 0;
  UsbDeviceToken lastToken = 0;
};

class LinuxWinUsbTest : public ::testing::Test {
 protected:
  LinuxWinUsbTest() {
    tree.SetBridgeIds({{0x1B7E, 0x94C6}});
    tree.Rescan();
  }
  ~LinuxWinUsbTest() override {
    EXPECT_EQ(winusb.OpenDevices(), 0u);
    EXPECT_EQ(winusb.OpenInterfaces(), 0u);
    EXPECT_EQ(usb.openDevices, 0);
  }

  std::u16string InterfacePath(const std::string& name) const {
    return FromUtf8(system.Path("sys/bus/usb/devices/" + name));
  }

  // One chip-information request as the transport sends it; the result, and
  // the error it left when it failed.
  bool Request(const std::string& interface, std::uint32_t& transferred, std::uint32_t& error) {
    transferred = 0;
    const DeviceHandle device = winusb.Open(InterfacePath(interface));
    if (device == DeviceHandle::None) {
      error = winusb.LastError();
      return false;
    }
    const UsbInterfaceHandle handle = winusb.Initialize(device);
    std::uint8_t reply[16] = {};
    const bool ok = winusb.ControlTransfer(handle, {0xC0, 0xF1, 0x7E1B, 0x0001, 16}, reply, 16, transferred);
    error = ok ? 0 : winusb.LastError();
    winusb.Free(handle);
    winusb.Close(device);
    return ok;
  }

  FakeSystemTree system{LinuxMachineListing()};
  LinuxDeviceTree tree{system.Paths()};
  FakeUsbAccess usb;
  LinuxWinUsb winusb{tree, usb};
};

TEST_F(LinuxWinUsbTest, FindsTheDeviceByItsPortPathAtEachOpen) {
  std::uint32_t transferred = 0;
  std::uint32_t error = 0;
  ASSERT_TRUE(Request("1-1.3:1.1", transferred, error));
  EXPECT_EQ(transferred, 16u);
  ASSERT_TRUE(Request("2-2:1.1", transferred, error));
  ASSERT_EQ(usb.opened.size(), 2u);
  EXPECT_EQ(usb.opened[0], (UsbAddress{1, {1, 3}}));
  EXPECT_EQ(usb.opened[1], (UsbAddress{2, {2}}));
  ASSERT_EQ(usb.requests.size(), 2u);
  EXPECT_EQ(usb.requests[0].requestType, 0xC0);
  EXPECT_EQ(usb.requests[0].request, 0xF1);
  EXPECT_EQ(usb.requests[0].value, 0x7E1B);
  EXPECT_EQ(usb.requests[0].index, 0x0001);
  EXPECT_EQ(usb.requests[0].length, 16);
  EXPECT_EQ(usb.timeouts[0], 5000u);
}

TEST_F(LinuxWinUsbTest, OnlyBridgeInterfacesOfTheNamedDevicesOpen) {
  std::uint32_t transferred = 0;
  std::uint32_t error = 0;
  for (const char* other : {"2-4:1.0", "2-2:1.0", "2-2", "1-1.3:1.7"}) {
    EXPECT_FALSE(Request(other, transferred, error)) << other;
    EXPECT_EQ(error, 2u) << other;
  }
  EXPECT_TRUE(usb.opened.empty());
  // Another device now in the bridge's port is left alone.
  usb.present = {0x0781, 0x5567};
  EXPECT_FALSE(Request("2-2:1.1", transferred, error));
  EXPECT_EQ(error, 2u);
  EXPECT_TRUE(usb.requests.empty());
}

TEST_F(LinuxWinUsbTest, ShortAnswersAreReportedWithTheirLength) {
  usb.transferResult = 10;
  std::uint32_t transferred = 0;
  std::uint32_t error = 0;
  EXPECT_TRUE(Request("2-2:1.1", transferred, error));
  EXPECT_EQ(transferred, 10u);
}

TEST_F(LinuxWinUsbTest, LibusbErrorsBecomeTheSystemsErrorCodes) {
  const struct {
    int libusb;
    std::uint32_t system;
  } cases[] = {
      {-1, 31},     // I/O error
      {-2, 87},     // invalid parameter
      {-3, 5},      // access denied
      {-4, 1167},   // device gone
      {-5, 2},      // not found
      {-6, 170},    // busy
      {-7, 121},    // time-out
      {-8, 31},     // overflow
      {-9, 31},     // stall
      {-10, 995},   // interrupted
      {-11, 8},     // no memory
      {-12, 50},    // not supported
      {-99, 31},    // other
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.libusb);
    std::uint32_t transferred = 0;
    std::uint32_t error = 0;
    usb.openResult = c.libusb;
    EXPECT_FALSE(Request("2-2:1.1", transferred, error));
    EXPECT_EQ(error, c.system);
    usb.openResult = 0;
    usb.transferResult = c.libusb;
    EXPECT_FALSE(Request("2-2:1.1", transferred, error));
    EXPECT_EQ(error, c.system);
    EXPECT_EQ(transferred, 0u);
    usb.transferResult = 16;
  }
}

TEST_F(LinuxWinUsbTest, ABufferSmallerThanTheRequestIsRefusedBeforeSending) {
  const DeviceHandle device = winusb.Open(InterfacePath("2-2:1.1"));
  const UsbInterfaceHandle handle = winusb.Initialize(device);
  std::uint8_t reply[2] = {};
  std::uint32_t transferred = 0;
  EXPECT_FALSE(winusb.ControlTransfer(handle, {0xC0, 0xF1, 0x7E1B, 0x0001, 16}, reply, 2, transferred));
  EXPECT_EQ(winusb.LastError(), 87u);
  EXPECT_TRUE(usb.requests.empty());
  winusb.Free(handle);
  winusb.Close(device);
  // Handles already released fail without reaching the device.
  EXPECT_FALSE(winusb.ControlTransfer(handle, {0xC0, 0xF1, 0, 0, 2}, reply, 2, transferred));
  EXPECT_EQ(winusb.LastError(), 6u);
  EXPECT_EQ(winusb.Initialize(device), UsbInterfaceHandle::None);
}

}  // namespace
}  // namespace vx::platform::linux_backend
