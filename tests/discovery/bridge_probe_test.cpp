#include "discovery/bridge_probe.h"

#include <gtest/gtest.h>

#include <string>

#include "discovery/device_enum.h"
#include "discovery/device_table.h"
#include "discovery/scoped_handles.h"
#include "discovery_fixture.h"
#include "emulator/flash_catalogue.h"

namespace vx::testing {
namespace {

using emu::BridgeLayout;
using platform::BridgeInterfaceGuid;
using platform::GUID_DEVINTERFACE_DISK;
using Spec = platform::sim::SimBridgeSpec;

class BridgeProbeTest : public DiscoveryTest {
 protected:
  // A USB device node U with nothing on it; tests hang nodes below it.
  emu::NodeId AddUsbDevice(const std::string& instanceId = "USB\\VID_1B7E&PID_94C6\\U") {
    emu::UsbPlug plug;
    plug.hub = builder.RootHub();
    usbId = FromUtf8(instanceId);
    return emu::PlugUsbDevice(machine, plug, usbId, {});
  }

  // Probes U itself, then (as the refresh does) below it when that was not enough.
  bool Probe() {
    record = DeviceRecord{};
    SetText(record.usbInstanceId, usbId);
    ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
    HubList hubs;
    return ProbeNode(set.Get(), 0, record, hubs, usbId) || SearchSubtree(set.Get(), 0, record, hubs, usbId);
  }

  std::u16string PathOf(const std::string& instanceId) { return u"\\\\?\\" + FromUtf8(instanceId) + u"#path"; }

  std::u16string usbId;
  DeviceRecord record{};
};

TEST_F(BridgeProbeTest, CompositeWithWinUsbOnTheDeviceIsFoundAtTheFirstStep) {
  const auto bridge = builder.AddBridge(Spec().Layout(BridgeLayout::WinUsbOnDevice));
  usbId = machine.Node(bridge.nodes.usbDevice).instanceId;
  record = DeviceRecord{};
  SetText(record.usbInstanceId, usbId);
  ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
  HubList hubs;

  EXPECT_FALSE(ProbeNode(set.Get(), 0, record, hubs, usbId));
  EXPECT_EQ(TextOf(record.winusbPath), bridge.nodes.winusbPath);
  EXPECT_TRUE(IsEmpty(record.diskPath));

  EXPECT_TRUE(SearchSubtree(set.Get(), 0, record, hubs, usbId));
  EXPECT_EQ(TextOf(record.diskPath), bridge.nodes.diskPath);
  EXPECT_EQ(TextOf(record.diskInstanceId), machine.Node(bridge.nodes.diskNode).instanceId);
  int chipInfoReads = 0;  // the disk side was probed once: at the first step
  for (const auto& entry : bridge.bridge->Trace().Scsi()) chipInfoReads += entry.cdb[0] == 0xD0;
  EXPECT_EQ(chipInfoReads, 1);
  EXPECT_EQ(record.mutex, platform::MutexHandle::None);
}

TEST_F(BridgeProbeTest, FirstChildsChildComesBeforeTheNextSibling) {
  const emu::NodeId u = AddUsbDevice();
  const emu::NodeId c1 = machine.AddNode(u, u"C1");
  AddAnsweringNode(c1, "G1", GUID_DEVINTERFACE_DISK);
  AddAnsweringNode(u, "C2", GUID_DEVINTERFACE_DISK);
  AddAnsweringNode(u, "C3", BridgeInterfaceGuid);

  EXPECT_TRUE(Probe());
  EXPECT_EQ(TextOf(record.diskPath), PathOf("G1"));
  EXPECT_EQ(TextOf(record.winusbPath), PathOf("C3"));
  ExpectAllClosed();
}

TEST_F(BridgeProbeTest, ExaminesAtMostEightNodesOfTheSiblingChain) {
  for (int position : {8, 9}) {
    SCOPED_TRACE(position);
    const emu::NodeId u = AddUsbDevice("USB\\VID_1B7E&PID_94C6\\CHAIN" + std::to_string(position));
    for (int k = 1; k < position; ++k) machine.AddNode(u, FromUtf8("N" + std::to_string(position) + "_" + std::to_string(k)));
    AddAnsweringNode(u, "DISK" + std::to_string(position), GUID_DEVINTERFACE_DISK);
    Probe();
    EXPECT_EQ(!IsEmpty(record.diskPath), position <= kSiblingChainNodes);
  }
}

TEST_F(BridgeProbeTest, LooksAtFirstChildrenOnly) {
  const emu::NodeId u = AddUsbDevice();
  const emu::NodeId c1 = machine.AddNode(u, u"C1");
  const emu::NodeId g1 = machine.AddNode(c1, u"G1");
  AddAnsweringNode(c1, "G2", GUID_DEVINTERFACE_DISK);    // second child
  AddAnsweringNode(g1, "GG1", GUID_DEVINTERFACE_DISK);   // too deep
  EXPECT_FALSE(Probe());
  EXPECT_TRUE(IsEmpty(record.diskPath));
  EXPECT_TRUE(IsEmpty(record.diskInstanceId));
}

TEST_F(BridgeProbeTest, DeviceWithoutChildrenEndsTheSearch) {
  AddUsbDevice();
  EXPECT_FALSE(Probe());
  ExpectAllClosed();
}

TEST_F(BridgeProbeTest, StatusRequestAloneMakesAWinUsbBridge) {
  const auto bridge = builder.AddBridge(Spec().Layout(BridgeLayout::WinUsbOnly));
  bridge.bridge->Faults().OnUsbRequest(emu::UsbFault::Fails(), emu::kEveryTime, 0x7E1B);
  usbId = machine.Node(bridge.nodes.usbDevice).instanceId;
  Probe();
  EXPECT_EQ(TextOf(record.winusbPath), bridge.nodes.winusbPath);
  EXPECT_EQ(record.vendorId, 0);
  EXPECT_EQ(record.firmwareVersion, 0u);
}

TEST_F(BridgeProbeTest, SideThatDoesNotAnswerLeavesNoTrace) {
  const auto bridge = builder.AddBridge(Spec().Layout(BridgeLayout::WinUsbOnly));
  bridge.bridge->Faults().OnUsbRequest(emu::UsbFault::ShortTransfer(1));
  const auto stick = builder.AddUsbStick();
  for (emu::NodeId node : {bridge.nodes.usbDevice, stick.usbDevice}) {
    usbId = machine.Node(node).instanceId;
    EXPECT_FALSE(Probe());
    EXPECT_TRUE(IsEmpty(record.winusbPath));
    EXPECT_TRUE(IsEmpty(record.winusbInstanceId));
    EXPECT_TRUE(IsEmpty(record.diskPath));
    EXPECT_TRUE(IsEmpty(record.diskInstanceId));
    EXPECT_TRUE(IsEmpty(record.usbName));
  }
}

// Mode byte -> chipMode, identification only for mode byte 1; the bridge is
// kept in every case.
TEST_F(BridgeProbeTest, ModeByteSelectsTheMode) {
  struct Case {
    std::uint8_t modeByte;
    std::int32_t chipMode;
    bool identified;
  };
  for (const Case& c : {Case{0, kChipModeByte0, false}, Case{1, kChipModeSpiFlash, true},
                        Case{2, kChipModeByte2, false}, Case{9, kChipModeRejected, false}}) {
    SCOPED_TRACE(c.modeByte);
    const auto bridge =
        builder.AddBridge(Spec().Layout(BridgeLayout::DiskOnly).Mode(c.modeByte).Serial("M" + std::to_string(c.modeByte)));
    usbId = machine.Node(bridge.nodes.usbDevice).instanceId;
    Probe();
    EXPECT_FALSE(IsEmpty(record.diskPath));
    EXPECT_EQ(record.chipMode, c.chipMode);
    EXPECT_EQ(record.flashMatch, c.identified ? 1 : -1);
    EXPECT_EQ(record.flashChip != nullptr, c.identified);
    EXPECT_EQ(bridge.bridge->Trace().Spi().empty(), !c.identified);
  }
}

TEST_F(BridgeProbeTest, UnidentifiedFlashStillMakesABridge) {
  const auto bridge =
      builder.AddBridge(Spec().Layout(BridgeLayout::DiskOnly).Part(emu::PartNamed(emu::kSilentPart)));
  usbId = machine.Node(bridge.nodes.usbDevice).instanceId;
  Probe();
  EXPECT_FALSE(IsEmpty(record.diskPath));
  EXPECT_EQ(record.chipMode, kChipModeSpiFlash);
  EXPECT_EQ(record.flashMatch, -1);
  EXPECT_EQ(record.flashChip, nullptr);
  ExpectAllClosed();
}

TEST_F(BridgeProbeTest, EachProbeHoldsTheProbeMutexOnlyWhileItRuns) {
  const auto bridge = builder.AddBridge();
  usbId = machine.Node(bridge.nodes.usbDevice).instanceId;
  Probe();
  EXPECT_GT(sim.Mutexes().WaitCount(kProbeMutexName), 0);
  EXPECT_FALSE(sim.Mutexes().IsOwned(kProbeMutexName));
  EXPECT_EQ(sim.Mutexes().OpenHandles(), 0u);
}

TEST_F(BridgeProbeTest, ProbeMutexHeldElsewhereSendsNothing) {
  const auto bridge = builder.AddBridge();
  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(kProbeMutexName));
  usbId = machine.Node(bridge.nodes.usbDevice).instanceId;
  EXPECT_FALSE(Probe());
  EXPECT_EQ(bridge.bridge->CommandsReceived(), 0u);
  EXPECT_TRUE(bridge.bridge->Trace().Usb().empty());
  EXPECT_TRUE(IsEmpty(record.diskPath));
}

}  // namespace
}  // namespace vx::testing
