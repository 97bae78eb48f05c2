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

TEST_F(DeviceTableTest, KeepsBridgesAmongOtherDevicesInPackedSlots) {
  const auto first = builder.AddBridge(BridgeSetup().DriveLetters("E"));
  builder.AddMouse();
  const auto second = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::DiskOnly));

  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 2);
  EXPECT_EQ(table[0].slot, 0);
  EXPECT_EQ(table[1].slot, 1);
  EXPECT_TRUE(sim.Mutexes().Exists(u"[Device0000]"));
  EXPECT_TRUE(sim.Mutexes().Exists(u"[Device0001]"));
  EXPECT_EQ(sim.Mutexes().OpenHandles(), 2u);
  EXPECT_EQ(TextOf(table[1].diskPath), second.nodes.diskPath);
  EXPECT_TRUE(IsEmpty(table[1].winusbPath));

  const DeviceRecord& full = table[0];
  EXPECT_EQ(TextOf(full.diskPath), first.nodes.diskPath);
  EXPECT_EQ(TextOf(full.winusbPath), first.nodes.winusbPath);
  EXPECT_EQ(TextOf(full.usbInstanceId), u"USB\\VID_1B7E&PID_94C6\\VX0001");
  EXPECT_EQ(TextOf(full.parentId), u"USB\\ROOT_HUB30\\4&2F3C1A01&0&0");
  EXPECT_EQ(TextOf(full.usbName), u"USB Composite Device");
  EXPECT_EQ(TextOf(full.diskName), u"TARVENIX VX94C6 USB Device");
  EXPECT_EQ(TextOf(full.winusbName), u"VX94C6 Bridge");
  EXPECT_NE(full.flashChip, nullptr);
  EXPECT_EQ(full.hubNumber, 1);
  EXPECT_EQ(full.portNumber, 1);
  ASSERT_EQ(full.driveLetterCount, 1);
  EXPECT_EQ(full.driveLetters[0], u'E');

  EXPECT_TRUE(ReleaseDevices(table, count));
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, KeepsABridgeFoundOnOneSideOnly) {
  builder.AddUsbStick('D');
  builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnly));
  builder.AddBridge(BridgeSetup().WithoutWinUsbDriver().DriveLetters("E"));
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 2);
  EXPECT_TRUE(IsEmpty(table[0].diskPath));
  EXPECT_FALSE(IsEmpty(table[0].winusbPath));
  EXPECT_EQ(table[0].chipMode, kChipModeUnset);  // no mode selection on the WinUSB side
  EXPECT_FALSE(IsEmpty(table[1].diskPath));
  EXPECT_TRUE(IsEmpty(table[1].winusbPath));  // its interface did not initialise
  EXPECT_TRUE(IsEmpty(table[1].winusbInstanceId));
  EXPECT_EQ(table[1].driveLetters[0], u'E');
}

TEST_F(DeviceTableTest, ThirdSlotMutexFailingEmptiesTheTable) {
  builder.AddBridges(3);
  sim.Mutexes().SetFaults(u"[Device0002]", {true, true, false});
  EXPECT_FALSE(RefreshDevices(table, count));
  ExpectEmptyTable();
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, EndsEmptyWithoutBridgesOrWithoutTheDeviceSet) {
  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(sim.MachineAreas().deviceTree.SetsMade(), 1u);  // no USB device: the count's set alone
  builder.AddMouse();
  builder.AddUsbStick('D');
  EXPECT_FALSE(RefreshDevices(table, count));
  ExpectEmptyTable();

  builder.AddBridge();
  machine.failingSetClasses.push_back(platform::GUID_DEVINTERFACE_USB_HUB);
  ASSERT_TRUE(RefreshDevices(table, count));  // no hub list: located by its text alone
  EXPECT_EQ(table[0].portNumber, 3);
  machine.failingSetClasses.push_back(platform::GUID_DEVINTERFACE_USB_DEVICE);
  EXPECT_FALSE(RefreshDevices(table, count));
  ExpectEmptyTable();
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, ReleaseFreesOnlyATableThatIsThere) {
  EXPECT_FALSE(ReleaseDevices(table, count));
  ExpectEmptyTable();
  builder.AddBridge();
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_TRUE(RefreshDevices(table, count));  // over the open table: released first
  EXPECT_EQ(count, 1);
  EXPECT_EQ(sim.Mutexes().OpenHandles(), 1u);
  EXPECT_TRUE(ReleaseDevices(table, count));
  EXPECT_FALSE(ReleaseDevices(table, count));
  ExpectEmptyTable();
}

TEST_F(DeviceTableTest, BridgeBehindAnExternalHubTakesOneSlot) {
  builder.PlugInto(builder.AddHub());
  const auto bridge = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::DiskOnly));
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(TextOf(table[0].diskPath), bridge.nodes.diskPath);
}

}  // namespace
}  // namespace vx::testing
