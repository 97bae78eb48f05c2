#include "discovery/device_table.h"

#include <gtest/gtest.h>

#include "discovery_fixture.h"

namespace vx::testing {
namespace {

using platform::sim::BridgeLayout;

class DeviceTableTest : public DiscoveryTest {
 protected:
  ~DeviceTableTest() override { ReleaseDevices(table, count); }

  void ExpectEmptyTable() {
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(count, 0);
  }

  DeviceRecord* table = nullptr;
  std::int32_t count = 0;
};

// Bridges among other devices, whole or seen on one side only, each in the
// next slot with its own slot mutex.
TEST_F(DeviceTableTest, KeepsEveryBridgeInPackedSlots) {
  const auto full = builder.AddBridge(BridgeSetup().DriveLetters("E"));
  builder.AddMouse();
  builder.AddUsbStick('D');
  const auto winusbOnly = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnly));
  const auto diskOnly = builder.AddBridge(BridgeSetup().WithoutWinUsbDriver().DriveLetters("F"));

  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 3);
  for (std::int32_t k = 0; k < 3; ++k) EXPECT_EQ(table[k].slot, k);
  for (const char16_t* name : {u"[Device0000]", u"[Device0001]", u"[Device0002]"}) {
    EXPECT_TRUE(sim.Mutexes().Exists(name));
  }
  EXPECT_EQ(TextOf(table[0].diskPath), full.nodes.diskPath);
  EXPECT_EQ(TextOf(table[0].winusbPath), full.nodes.winusbPath);
  EXPECT_EQ(TextOf(table[0].diskName), u"TARVENIX VX94C6 USB Device");
  EXPECT_EQ(TextOf(table[0].winusbName), u"VX94C6 Bridge");
  EXPECT_NE(table[0].flashChip, nullptr);
  EXPECT_EQ(std::u16string(table[0].driveLetters, table[0].driveLetterCount), u"E");
  EXPECT_TRUE(IsEmpty(table[1].diskPath));
  EXPECT_EQ(TextOf(table[1].winusbPath), winusbOnly.nodes.winusbPath);
  EXPECT_EQ(table[1].chipMode, kChipModeUnset);  // no mode selection on the WinUSB side
  EXPECT_EQ(TextOf(table[2].diskPath), diskOnly.nodes.diskPath);
  EXPECT_TRUE(IsEmpty(table[2].winusbPath));  // its interface did not initialise

  EXPECT_TRUE(ReleaseDevices(table, count));
  EXPECT_FALSE(ReleaseDevices(table, count));
  ExpectEmptyTable();
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, ThirdSlotMutexFailingEmptiesTheTable) {
  builder.AddBridges(3);
  sim.Mutexes().SetFaults(u"[Device0002]", {true, true, false});
  EXPECT_FALSE(RefreshDevices(table, count));
  ExpectEmptyTable();
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, EndsEmptyWithoutTheDeviceSet) {
  builder.AddBridge();
  machine.failingSetClasses.push_back(platform::GUID_DEVINTERFACE_USB_DEVICE);
  EXPECT_FALSE(RefreshDevices(table, count));
  ExpectEmptyTable();
  ExpectAllClosed();
}

// Each bridge behind an external hub keeps its own record, whether the hub
// comes before its bridges in the enumeration or after them; a hub is no
// bridge.
TEST_F(DeviceTableTest, BridgesBehindExternalHubsKeepTheirOwnRecords) {
  const platform::sim::NodeId hubs[] = {builder.AddHub(), builder.AddHub()};
  std::vector<platform::sim::SimBridge> bridges;
  for (const platform::sim::NodeId hub : hubs) {
    builder.PlugInto(hub);
    bridges.push_back(builder.AddBridge(BridgeSetup().Layout(BridgeLayout::DiskOnly)));
    bridges.push_back(builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnly)));
  }
  machine.EnumerateLast(hubs[1]);
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 4);
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    const auto& nodes = bridges[k].nodes;
    EXPECT_EQ(TextOf(table[k].usbInstanceId), machine.Node(nodes.usbDevice).instanceId);
    EXPECT_EQ(TextOf(table[k].usbName), k % 2 == 0 ? u"USB Mass Storage Device" : u"VX94C6 Bridge");
    EXPECT_EQ(TextOf(table[k].diskPath), nodes.diskPath);
    EXPECT_EQ(TextOf(table[k].winusbPath), nodes.winusbPath);
    EXPECT_EQ(table[k].hubNumber, 2 + k / 2);
    EXPECT_EQ(table[k].portNumber, 1 + k % 2);
  }
}

// A bridge reached from two USB devices (as behind a hub that cannot be told
// as one) takes one slot; its WinUSB path counts, whatever its case.
TEST_F(DeviceTableTest, ABridgeSeenTwiceTakesOneSlot) {
  const auto bridge = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnly));
  platform::sim::UsbPlug plug;
  plug.hub = builder.RootHub();
  const auto alias = platform::sim::PlugUsbDevice(machine, plug, u"USB\\VID_1B7E&PID_94C6\\ALIAS", {});
  std::u16string upper = bridge.nodes.winusbPath;
  for (char16_t& c : upper) c = static_cast<char16_t>(std::toupper(c));
  machine.AddInterface(alias, platform::BridgeInterfaceGuid, upper);
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(TextOf(table[0].winusbPath), bridge.nodes.winusbPath);
}

}  // namespace
}  // namespace vx::testing
