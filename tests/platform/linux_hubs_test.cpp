#include "platform/linux/linux_hubs.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/support/fake_system_tree.h"

namespace vx::platform::linux_backend {
namespace {

using testing::FakeSystemTree;
using testing::LinuxMachineListing;

class LinuxHubsTest : public ::testing::Test {
 protected:
  DeviceHandle OpenHub(const std::string& name) {
    tree.Rescan();
    return hubs.Open(FromUtf8(system.Path("sys/bus/usb/devices/" + name)));
  }

  FakeSystemTree system{LinuxMachineListing()};
  LinuxDeviceTree tree{system.Paths()};
  LinuxHubs hubs{tree};
};

TEST_F(LinuxHubsTest, PortsAreMaxchildAndConnectedWhereADeviceIsPluggedIn) {
  const DeviceHandle hub = OpenHub("1-1");
  ASSERT_NE(hub, DeviceHandle::None);
  HubNodeInformation information;
  ASSERT_TRUE(hubs.GetNodeInformation(hub, information));
  EXPECT_EQ(information.nodeType, HubNodeType::UsbHub);
  EXPECT_EQ(information.numberOfPorts, 4);

  PortConnectionInformation port;
  ASSERT_TRUE(hubs.GetNodeConnectionInformation(hub, 3, port));
  EXPECT_EQ(port.connectionStatus, 1u);
  EXPECT_EQ(port.speed, 2);
  ASSERT_TRUE(hubs.GetNodeConnectionInformation(hub, 2, port));
  EXPECT_EQ(port.connectionStatus, 0u);
  EXPECT_FALSE(hubs.GetNodeConnectionInformation(hub, 5, port));
  EXPECT_FALSE(hubs.GetNodeConnectionInformation(hub, 0, port));

  // The driver key of a port is the ID of what is plugged into it.
  std::uint32_t required = 0;
  ASSERT_TRUE(hubs.GetConnectionDriverKeyName(hub, 3, nullptr, 0, required));
  EXPECT_EQ(required, 6u);
  char16_t key[6] = {};
  EXPECT_FALSE(hubs.GetConnectionDriverKeyName(hub, 3, key, 5, required));
  ASSERT_TRUE(hubs.GetConnectionDriverKeyName(hub, 3, key, 6, required));
  EXPECT_EQ(std::u16string(key), u"1-1.3");
  EXPECT_FALSE(hubs.GetConnectionDriverKeyName(hub, 2, nullptr, 0, required));
  hubs.Close(hub);
  EXPECT_EQ(hubs.OpenHandles(), 0u);
}

TEST_F(LinuxHubsTest, SpeedsMapOntoTheSystemsCodes) {
  const struct {
    const char* megabits;  // nullptr: no speed attribute
    std::uint8_t code;
  } cases[] = {{"1.5", 0}, {"12", 1}, {"480", 2}, {"5000", 3}, {"10000", 3}, {"20000", 3}, {nullptr, 0}};
  const std::string device = "sys/devices/pci0000:00/0000:00:04.0/usb2/2-4/speed";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.megabits ? c.megabits : "missing");
    if (c.megabits) system.Write(device, std::string(c.megabits) + "\n");
    else system.Remove(device);
    const DeviceHandle hub = OpenHub("usb2");
    PortConnectionInformation port;
    ASSERT_TRUE(hubs.GetNodeConnectionInformation(hub, 4, port));
    EXPECT_EQ(port.connectionStatus, 1u);
    EXPECT_EQ(port.speed, c.code);
    hubs.Close(hub);
  }
}

TEST_F(LinuxHubsTest, OnlyHubPathsOpen) {
  EXPECT_EQ(OpenHub("2-2"), DeviceHandle::None);
  EXPECT_EQ(hubs.Open(u"usb1"), DeviceHandle::None);
  EXPECT_NE(OpenHub("usb1"), DeviceHandle::None);
}

}  // namespace
}  // namespace vx::platform::linux_backend
