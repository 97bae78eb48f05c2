#include "discovery/read_location.h"

#include <gtest/gtest.h>

#include "discovery/device_enum.h"
#include "discovery/scoped_handles.h"
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
      {u"Port_#12.Hub_#7", true, 12, 7},
      {u"Port_# 3.Hub_#+9", true, 3, 9},
      {u"Port_#00002.Hub_#0004", false, 0, -1},  // five digits: the port reads 0000, then '2' is no '.'
      {u"Port_#0002.Hub_#00045", false, 2, -1},
      {u"Port_#0002.Hub_#0004 ", false, 2, -1},
      {u"Port_#0002", false, 2, -1},
      {u"port_#0002.hub_#0004", false, -1, -1},
      {u"0000.0014.0000.001.003.000.000.000.000", false, -1, -1},
      {u"Port_#.Hub_#0004", false, -1, -1},
      {u"", false, -1, -1},
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
  // ReadLocation for the USB device with that node, with the hub list as
  // the refresh builds it.
  DeviceRecord Locate(emu::NodeId device, DeviceRecord record = {}) {
    SetText(record.usbInstanceId, machine.Node(device).instanceId);
    SetText(record.parentId, machine.Node(machine.Node(device).parent).instanceId);
    HubList hubs;
    BuildHubList(hubs);
    ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
    std::uint32_t index = 0;
    for (const auto& entry : machine.Interfaces()) {
      if (!(entry.interfaceClass == platform::GUID_DEVINTERFACE_USB_DEVICE)) continue;
      if (entry.node == device) break;
      ++index;
    }
    EXPECT_TRUE(ReadLocation(set.Get(), index, record, hubs));
    return record;
  }

  emu::NodeId Plug(emu::NodeId hub, std::uint8_t port, emu::LocationText location, std::uint8_t speed = 3) {
    emu::UsbPlug plug;
    plug.hub = hub;
    plug.port = port;
    plug.location = location;
    plug.speed = speed;
    return emu::PlugUsbDevice(machine, plug, FromUtf8("USB\\VID_1111&PID_2222\\P" + std::to_string(++plugged)),
                              {{}, u"USB Input Device", {}, {}, {}});
  }

  int plugged = 0;
};

TEST_F(ReadLocationTest, WellFormedLocationStringWins) {
  machine.HubOf(builder.RootHub())->locationNumber = 4;
  const emu::NodeId device = Plug(builder.RootHub(), 2, emu::LocationText::WellFormed);
  const DeviceRecord record = Locate(device);
  EXPECT_EQ(record.portNumber, 2);
  EXPECT_EQ(record.hubNumber, 4);
  EXPECT_EQ(record.usbSpeed, 0);  // the speed comes only with the hub list
  ExpectAllClosed();
}

TEST_F(ReadLocationTest, OtherwiseTheHubListGivesOneBasedPositions) {
  const emu::NodeId second = emu::AddRootHub(machine, 4);
  machine.HubOf(second)->locationNumber = 9;
  for (auto location : {emu::LocationText::Malformed, emu::LocationText::Missing}) {
    const emu::NodeId device = Plug(second, 3, location, 1);
    const DeviceRecord record = Locate(device);
    EXPECT_EQ(record.hubNumber, 2);  // second entry of the hub list, not hub 9
    EXPECT_EQ(record.portNumber, 3);
    EXPECT_EQ(record.usbSpeed, 1);
    machine.HubOf(second)->ports[2] = {};
  }
  ExpectAllClosed();
}

TEST_F(ReadLocationTest, HubListMatchNeedsTheParentIdExactly) {
  const emu::NodeId device = Plug(builder.RootHub(), 1, emu::LocationText::Missing);
  DeviceRecord record{};
  record.hubNumber = 77;
  record.portNumber = 78;
  SetText(record.usbInstanceId, machine.Node(device).instanceId);
  const auto parent = machine.Node(builder.RootHub()).instanceId;
  std::u16string lowered = parent;
  for (auto& c : lowered) c = static_cast<char16_t>(std::tolower(c));
  SetText(record.parentId, lowered);
  HubList hubs;
  BuildHubList(hubs);
  ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
  ReadLocation(set.Get(), 0, record, hubs);
  EXPECT_EQ(record.hubNumber, 77);
  EXPECT_EQ(record.portNumber, 78);
}

TEST_F(ReadLocationTest, LastMatchingPortWins) {
  const emu::NodeId device = Plug(builder.RootHub(), 2, emu::LocationText::Missing);
  // A second port reporting the same device (the hub saw it twice).
  auto& ports = machine.HubOf(builder.RootHub())->ports;
  ports[5] = ports[1];
  ports[5].speed = 2;
  const DeviceRecord record = Locate(device);
  EXPECT_EQ(record.hubNumber, 1);
  EXPECT_EQ(record.portNumber, 6);
  EXPECT_EQ(record.usbSpeed, 2);
}

TEST_F(ReadLocationTest, PortOnlyTextLeavesThePortWhenTheListHasNoMatch) {
  const emu::NodeId device = Plug(builder.RootHub(), 2, emu::LocationText::Missing);
  machine.Node(device).properties.location = u"Port_#0005.Hub";
  machine.HubOf(builder.RootHub())->ports[1].connected = false;
  const DeviceRecord record = Locate(device);
  EXPECT_EQ(record.portNumber, 5);
  EXPECT_EQ(record.hubNumber, 0);
}

TEST_F(ReadLocationTest, DeviceThatCannotBeLocatedMatchesNoPort) {
  const emu::NodeId device = Plug(builder.RootHub(), 2, emu::LocationText::Missing);
  // A connected port whose driver key leads nowhere keeps node 0.
  machine.Node(device).properties.driverKey.reset();
  DeviceRecord record{};
  SetText(record.usbInstanceId, u"USB\\VID_DEAD&PID_BEEF\\GONE");
  SetText(record.parentId, machine.Node(builder.RootHub()).instanceId);
  HubList hubs;
  BuildHubList(hubs);
  ASSERT_EQ(hubs.hubs[0].ports[1].devInst, 0u);
  ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
  ReadLocation(set.Get(), 0, record, hubs);
  EXPECT_EQ(record.portNumber, 0);
  EXPECT_EQ(record.hubNumber, 0);
}

}  // namespace
}  // namespace vx::testing
