#include "discovery/device_table.h"

#include <gtest/gtest.h>

#include "discovery/bridge_probe.h"
#include "discovery_fixture.h"
#include "emulator/flash_catalogue.h"

namespace vx::testing {
namespace {

using emu::BridgeLayout;
using Spec = platform::sim::SimBridgeSpec;

constexpr platform::sim::SimMutexFaults kOpenAndCreateFail{true, true, false};

class DeviceTableTest : public DiscoveryTest {
 protected:
  ~DeviceTableTest() override { ReleaseDevices(table, count); }

  DeviceRecord* table = nullptr;
  std::int32_t count = 0;
};

TEST_F(DeviceTableTest, KeepsBridgesAmongOtherDevicesInPackedSlots) {
  const auto first = builder.AddBridge();
  builder.AddMouse();
  const auto second = builder.AddBridge(Spec().Layout(BridgeLayout::DiskOnly));

  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 2);
  EXPECT_EQ(table[0].slot, 0);
  EXPECT_EQ(table[1].slot, 1);
  EXPECT_EQ(TextOf(table[0].diskPath), first.nodes.diskPath);
  EXPECT_EQ(TextOf(table[0].winusbPath), first.nodes.winusbPath);
  EXPECT_EQ(TextOf(table[1].diskPath), second.nodes.diskPath);
  EXPECT_TRUE(IsEmpty(table[1].winusbPath));
  EXPECT_TRUE(sim.Mutexes().Exists(u"[Device0000]"));
  EXPECT_TRUE(sim.Mutexes().Exists(u"[Device0001]"));
  EXPECT_NE(table[0].mutex, table[1].mutex);
  EXPECT_EQ(sim.Mutexes().OpenHandles(), 2u);
  EXPECT_EQ(sim.MachineAreas().OpenHandles(), 0u);

  EXPECT_TRUE(ReleaseDevices(table, count));
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(count, 0);
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, FillsTheRecordOfAFullBridge) {
  builder.AddBridge(Spec().DriveLetters("E"));
  ASSERT_TRUE(RefreshDevices(table, count));
  const DeviceRecord& record = table[0];
  EXPECT_EQ(TextOf(record.usbInstanceId), u"USB\\VID_1B7E&PID_94C6\\VX0001");
  EXPECT_EQ(TextOf(record.parentId), u"USB\\ROOT_HUB30\\4&2F3C1A01&0&0");
  EXPECT_EQ(TextOf(record.usbName), u"USB Composite Device");
  EXPECT_EQ(TextOf(record.diskName), u"TARVENIX VX94C6 USB Device");
  EXPECT_EQ(TextOf(record.winusbName), u"VX94C6 Bridge");
  EXPECT_EQ(record.vendorId, 0x1B7E);
  EXPECT_EQ(record.productId, 0x94C6);
  EXPECT_EQ(record.firmwareVersion, 0x01000005u);
  EXPECT_EQ(record.chipMode, kChipModeSpiFlash);
  EXPECT_EQ(record.flashMatch, 1);
  EXPECT_NE(record.flashChip, nullptr);
  EXPECT_EQ(record.hubNumber, 1);
  EXPECT_EQ(record.portNumber, 1);
  ASSERT_EQ(record.driveLetterCount, 1);
  EXPECT_EQ(record.driveLetters[0], u'E');
}

TEST_F(DeviceTableTest, KeepsABridgeFoundOnOneSideOnly) {
  builder.AddBridge(Spec().Layout(BridgeLayout::DiskOnly));
  builder.AddBridge(Spec().Layout(BridgeLayout::WinUsbOnly));
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 2);
  EXPECT_FALSE(IsEmpty(table[0].diskPath));
  EXPECT_TRUE(IsEmpty(table[0].winusbPath));
  EXPECT_TRUE(IsEmpty(table[1].diskPath));
  EXPECT_FALSE(IsEmpty(table[1].winusbPath));
  EXPECT_EQ(table[1].chipMode, kChipModeUnset);  // no mode selection on the WinUSB side
}

TEST_F(DeviceTableTest, SkipsDisksAndDevicesThatDoNotAnswer) {
  builder.AddUsbStick('D');
  builder.AddMouse();
  builder.AddBridge(Spec().WithoutWinUsbDriver().DriveLetters("E"));
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 1);
  EXPECT_TRUE(IsEmpty(table[0].winusbPath));  // its interface did not initialise
  EXPECT_TRUE(IsEmpty(table[0].winusbInstanceId));
  EXPECT_EQ(table[0].driveLetters[0], u'E');
  ReleaseDevices(table, count);
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, ThirdSlotMutexFailingEmptiesTheTable) {
  builder.AddBridges(3);
  sim.Mutexes().SetFaults(u"[Device0002]", kOpenAndCreateFail);

  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(count, 0);
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, NoUsbDeviceLeavesTheTableEmpty) {
  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(sim.MachineAreas().deviceTree.SetsMade(), 1u);  // the count alone
}

TEST_F(DeviceTableTest, NoBridgeAmongDevicesLeavesTheTableEmpty) {
  builder.AddMouse();
  builder.AddUsbStick('D');
  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(count, 0);
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, FailingSetsEitherSkipTheHubListOrEndEmpty) {
  builder.AddBridge();
  machine.failingSetClasses.push_back(platform::GUID_DEVINTERFACE_USB_HUB);
  ASSERT_TRUE(RefreshDevices(table, count));  // no hub list: location from the text alone
  EXPECT_EQ(table[0].portNumber, 1);
  ReleaseDevices(table, count);
  machine.failingSetClasses.push_back(platform::GUID_DEVINTERFACE_USB_DEVICE);
  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(table, nullptr);
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, ProbeMutexUnavailableKeepsNothingAndSendsNothing) {
  const auto bridge = builder.AddBridge();
  sim.Mutexes().SetFaults(kProbeMutexName, kOpenAndCreateFail);
  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(bridge.bridge->CommandsReceived(), 0u);
  ExpectAllClosed();
}

TEST_F(DeviceTableTest, ReleaseOfAnEmptyTableReportsNothingToFree) {
  EXPECT_FALSE(ReleaseDevices(table, count));
  EXPECT_EQ(count, 0);
  builder.AddBridge();
  ASSERT_TRUE(RefreshDevices(table, count));
  EXPECT_TRUE(ReleaseDevices(table, count));
  EXPECT_FALSE(ReleaseDevices(table, count));
  EXPECT_EQ(table, nullptr);
  EXPECT_EQ(count, 0);
}

TEST_F(DeviceTableTest, RefreshOverAnOpenTableReleasesItFirst) {
  builder.AddBridge();
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_TRUE(RefreshDevices(table, count));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(sim.Mutexes().OpenHandles(), 1u);
}

TEST_F(DeviceTableTest, BridgeBehindAnExternalHubTakesOneSlot) {
  builder.PlugInto(builder.AddHub());
  const auto bridge = builder.AddBridge(Spec().Layout(BridgeLayout::DiskOnly));
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(TextOf(table[0].diskPath), bridge.nodes.diskPath);
}

TEST_F(DeviceTableTest, OtherPlatformFamilyFindsBridgesOnTheDeviceNodeOnly) {
  machine.platformId = 1;
  builder.AddBridge(Spec().Layout(BridgeLayout::WinUsbOnly));
  builder.AddBridge(Spec().Layout(BridgeLayout::DiskOnly));  // its disk is a child: out of reach
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 1);
  EXPECT_TRUE(IsEmpty(table[0].parentId));
  EXPECT_TRUE(IsEmpty(table[0].usbName));
  EXPECT_FALSE(IsEmpty(table[0].winusbPath));
}

}  // namespace
}  // namespace vx::testing
