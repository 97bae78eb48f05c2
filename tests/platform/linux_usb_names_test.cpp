#include "platform/linux/usb_names.h"

#include <gtest/gtest.h>

namespace vx::platform::linux_backend {
namespace {

TEST(UsbNames, DeviceNamesAreBusAndPortPath) {
  const struct {
    const char* name;
    std::optional<UsbAddress> address;
    const char* parent;
  } cases[] = {
      {"usb1", UsbAddress{1, {}}, ""},
      {"usb12", UsbAddress{12, {}}, ""},
      {"3-1", UsbAddress{3, {1}}, "usb3"},
      {"3-1.4.2", UsbAddress{3, {1, 4, 2}}, "3-1.4"},
      {"3-0", std::nullopt, ""},  // the root hub's interfaces use port path 0
      {"3-1.0", std::nullopt, ""},
      {"0-1", std::nullopt, ""},
      {"3-256", std::nullopt, ""},
      {"3-1.", std::nullopt, ""},
      {"3-+1", std::nullopt, ""},
      {"usb", std::nullopt, ""},
      {"usb0", std::nullopt, ""},
      {"3-1:1.0", std::nullopt, ""},
      {"0003:0627:0001.0001", std::nullopt, ""},
      {"ep_81", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto address = ParseUsbDeviceName(c.name);
    EXPECT_EQ(address, c.address);
    if (!address) continue;
    EXPECT_EQ(UsbDeviceName(*address), c.name);
    EXPECT_EQ(ParentHubName(*address), c.parent);
  }
  // A hub sorts before what is plugged into it; ports by number.
  EXPECT_LT(*ParseUsbDeviceName("usb1"), *ParseUsbDeviceName("1-1"));
  EXPECT_LT(*ParseUsbDeviceName("1-1"), *ParseUsbDeviceName("1-1.3"));
  EXPECT_LT(*ParseUsbDeviceName("1-2"), *ParseUsbDeviceName("1-10"));
  EXPECT_LT(*ParseUsbDeviceName("1-10"), *ParseUsbDeviceName("2-1"));
}

TEST(UsbNames, InterfaceAndScsiNames) {
  const auto interface = ParseUsbInterfaceName("2-1.4:1.3");
  ASSERT_TRUE(interface);
  EXPECT_EQ(interface->device, "2-1.4");
  EXPECT_EQ(interface->configuration, 1u);
  EXPECT_EQ(interface->number, 3u);
  EXPECT_EQ(ParseUsbInterfaceName("2-0:1.0")->device, "usb2");
  for (const char* odd : {"2-1", "2-1:1", "2-1:1.0.0", ":1.0", "x-1:1.0", "2-1:1.a"})
    EXPECT_FALSE(ParseUsbInterfaceName(odd)) << odd;

  EXPECT_EQ(ParseScsiAddress("3:0:0:1"), (ScsiAddress{3, 0, 0, 1}));
  for (const char* odd : {"3:0:0", "3:0:0:1:2", "target3:0:0", "3:0::1", "host3"})
    EXPECT_FALSE(ParseScsiAddress(odd)) << odd;
}

}  // namespace
}  // namespace vx::platform::linux_backend
