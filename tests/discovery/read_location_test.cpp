#include "discovery/read_location.h"

#include <gtest/gtest.h>

#include "discovery_fixture.h"

namespace vx::testing {
namespace {

TEST(ParseLocationText, ReadsPortAndHubAsScanfDoes) {
  struct Case {
    std::u16string_view text;
    bool parsed;
    std::int32_t port;  // -1: left as it was
    std::int32_t hub;
  };
  const Case cases[] = {
      {u"Port_#0002.Hub_#0004", true, 2, 4},
      {u"Port_# 3.Hub_#+9", true, 3, 9},
      {u"Port_#00002.Hub_#0004", false, 0, -1},  // five digits: the port reads 0000, then '2' is no '.'
      {u"Port_#0002.Hub_#0004 ", false, 2, -1},
      {u"port_#0002.hub_#0004", false, -1, -1},
      {u"0000.0014.0000.001.003.000.000.000.000", false, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    std::int32_t port = -1;
    std::int32_t hub = -1;
    EXPECT_EQ(ParseLocationText(c.text, port, hub), c.parsed);
    EXPECT_EQ(port, c.port);
    EXPECT_EQ(hub, c.hub);
  }
}

class ReadLocationTest : public DiscoveryTest {
 protected:
  // ReadLocation for the USB device with that node and the hub list as the
  // refresh builds it; usbInstanceId and parentId are the device's unless set.
  DeviceRecord Locate(platform::sim::NodeId device, DeviceRecord record = {}) {
    if (IsEmpty(record.usbInstanceId)) SetText(record.usbInstanceId, machine.Node(device).instanceId);
    if (IsEmpty(record.parentId)) SetText(record.parentId, machine.Node(machine.Node(device).parent).instanceId);
    BuildHubList(hubs);
    std::uint32_t index = 0;
    for (const auto& entry : machine.Interfaces()) {
      if (!(entry.interfaceClass == platform::GUID_DEVINTERFACE_USB_DEVICE)) continue;
      if (entry.node == device) break;
      ++index;
    }
    EXPECT_TRUE(ReadLocation(UsbDeviceSet().Get(), index, record, hubs));
    return record;
  }

  platform::sim::NodeId Plug(platform::sim::NodeId hub, std::uint8_t port, platform::sim::LocationText location, std::uint8_t speed = 3) {
    const platform::sim::UsbPlug plug{hub, port, speed, location};
    return platform::sim::PlugUsbDevice(machine, plug, FromUtf8("USB\\VID_1111&PID_2222\\P" + std::to_string(++plugged)),
                              {{}, u"USB Input Device", {}, {}, {}});
  }

  HubList hubs;
  int plugged = 0;
};

// The location text when it parses, else the hub list: the positions of
// hub and port in it (not the hubs' own numbers), the last matching port,
// and the connection's speed, which comes only with the list.
TEST_F(ReadLocationTest, TextFirstThenTheHubList) {
  machine.HubOf(builder.RootHub())->locationNumber = 4;
  const platform::sim::NodeId second = platform::sim::AddRootHub(machine, 4);
  machine.HubOf(second)->locationNumber = 9;
  const platform::sim::NodeId external = platform::sim::AddExternalHub(machine, {second, 1});
  const platform::sim::NodeId text = Plug(builder.RootHub(), 2, platform::sim::LocationText::WellFormed);
  const platform::sim::NodeId malformed = Plug(second, 3, platform::sim::LocationText::Malformed, 1);
  const platform::sim::NodeId missing = Plug(external, 4, platform::sim::LocationText::Missing, 1);
  const platform::sim::NodeId twice = Plug(builder.RootHub(), 5, platform::sim::LocationText::Missing);
  auto& ports = machine.HubOf(builder.RootHub())->ports;
  ports[6] = ports[4];  // the hub reports the device on a second port
  ports[6].speed = 2;
  struct Case {
    platform::sim::NodeId device;
    std::int32_t port, hub;
    std::uint8_t speed;
  };
  for (const Case& c : {Case{text, 2, 4, 0}, Case{malformed, 3, 2, 1}, Case{missing, 4, 3, 1}, Case{twice, 7, 1, 2}}) {
    SCOPED_TRACE(c.device);
    const DeviceRecord record = Locate(c.device);
    EXPECT_EQ(record.portNumber, c.port);
    EXPECT_EQ(record.hubNumber, c.hub);
    EXPECT_EQ(record.usbSpeed, c.speed);
  }
  ExpectAllClosed();
}

// Without a hub-list match the fields keep what they held.
TEST_F(ReadLocationTest, NoHubListMatchLeavesTheFields) {
  const platform::sim::NodeId device = Plug(builder.RootHub(), 2, platform::sim::LocationText::Missing);
  DeviceRecord before{};
  before.hubNumber = 77;
  before.portNumber = 78;
  SetText(before.parentId, Lowered(machine.Node(builder.RootHub()).instanceId));  // must match exactly
  DeviceRecord record = Locate(device, before);
  EXPECT_EQ(record.hubNumber, 77);
  EXPECT_EQ(record.portNumber, 78);

  // A device that cannot be located must not match the connected port whose
  // driver key led nowhere (node 0).
  machine.Node(device).properties.driverKey.reset();
  DeviceRecord gone{};
  SetText(gone.usbInstanceId, u"USB\\VID_DEAD&PID_BEEF\\GONE");
  record = Locate(device, gone);
  ASSERT_EQ(hubs.hubs[0].ports[1].devInst, 0u);
  EXPECT_EQ(record.portNumber, 0);
  EXPECT_EQ(record.hubNumber, 0);
}

}  // namespace
}  // namespace vx::testing
