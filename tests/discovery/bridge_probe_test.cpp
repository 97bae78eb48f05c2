#include "discovery/bridge_probe.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "discovery_fixture.h"
#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"

namespace vx::testing {
namespace {

using platform::sim::BridgeLayout;
using platform::BridgeInterfaceGuid;
using platform::GUID_DEVINTERFACE_DISK;

class BridgeProbeTest : public DiscoveryTest {
 protected:
  // A USB device on the root hub with nothing below it.
  platform::sim::NodeId AddUsbDevice(const std::string& serial) {
    platform::sim::UsbPlug plug;
    plug.hub = builder.RootHub();
    return platform::sim::PlugUsbDevice(machine, plug, FromUtf8("USB\\VID_1B7E&PID_94C6\\" + serial), {});
  }

  // Probes the device, then (as the refresh does) below it when that was not enough.
  bool Probe(platform::sim::NodeId usbDevice) {
    const std::u16string usbId = machine.Node(usbDevice).instanceId;
    record = DeviceRecord{};
    SetText(record.usbInstanceId, usbId);
    const ScopedInfoSet set = UsbDeviceSet();
    return ProbeNode(set.Get(), 0, record, hubs, usbId) || SearchSubtree(set.Get(), 0, record, hubs, usbId);
  }

  // A node under `parent` with an interface at PathOf(instanceId), answered by a new bridge.
  void AddAnsweringNode(platform::sim::NodeId parent, const std::string& instanceId, const platform::Guid& interfaceClass) {
    const std::u16string path = PathOf(instanceId);
    machine.AddInterface(machine.AddNode(parent, FromUtf8(instanceId), {u"name", {}, {}, {}, {}}), interfaceClass, path);
    auto& bridge = machine.AddBridge(std::make_unique<emu::Bridge>());
    const bool disk = interfaceClass == GUID_DEVINTERFACE_DISK;
    if (disk) machine.AddDisk(path);
    sim.AttachBridge(bridge, disk ? path : u"", disk ? u"" : path);
  }

  static std::u16string PathOf(const std::string& instanceId) { return u"\\\\?\\" + FromUtf8(instanceId) + u"#path"; }

  HubList hubs;
  DeviceRecord record{};
};

// The WinUSB side on the device itself, the disk below it; each probe holds
// the probe mutex that other instances share.
TEST_F(BridgeProbeTest, CompositeWithWinUsbOnTheDeviceIsFound) {
  const auto bridge = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnDevice));
  EXPECT_TRUE(Probe(bridge.nodes.usbDevice));
  EXPECT_EQ(TextOf(record.winusbPath), bridge.nodes.winusbPath);
  EXPECT_EQ(TextOf(record.diskPath), bridge.nodes.diskPath);
  EXPECT_EQ(TextOf(record.diskInstanceId), machine.Node(bridge.nodes.diskNode).instanceId);
  EXPECT_GT(sim.Mutexes().WaitCount(u"[Device check chip]"), 0);
  EXPECT_FALSE(sim.Mutexes().IsOwned(u"[Device check chip]"));
  ExpectAllClosed();
}

// Below the device: its first child N1, N1's first child, then N1's next
// sibling and its first child, for eight nodes of N1's chain.
TEST_F(BridgeProbeTest, SearchesFirstChildrenAlongEightNodesOfTheSiblingChain) {
  for (int last : {8, 9}) {
    SCOPED_TRACE(last);
    const std::string tag = "_" + std::to_string(last);
    const platform::sim::NodeId u = AddUsbDevice("CHAIN" + tag);
    const platform::sim::NodeId n1 = machine.AddNode(u, FromUtf8("N1" + tag));
    AddAnsweringNode(n1, "G1" + tag, GUID_DEVINTERFACE_DISK);
    AddAnsweringNode(n1, "G2" + tag, BridgeInterfaceGuid);                             // second child
    AddAnsweringNode(machine.Node(n1).children[0], "GG1" + tag, BridgeInterfaceGuid);  // too deep
    AddAnsweringNode(u, "N2" + tag, GUID_DEVINTERFACE_DISK);  // later than G1
    for (int k = 3; k < last; ++k) machine.AddNode(u, FromUtf8("N" + std::to_string(k) + tag));
    AddAnsweringNode(u, "W" + tag, BridgeInterfaceGuid);  // chain node number `last`

    const bool reached = last <= 8;
    EXPECT_EQ(Probe(u), reached);
    EXPECT_EQ(TextOf(record.diskPath), PathOf("G1" + tag));
    EXPECT_EQ(TextOf(record.winusbPath), reached ? PathOf("W" + tag) : u"");
  }
  EXPECT_FALSE(Probe(AddUsbDevice("CHILDLESS")));
  ExpectAllClosed();
}

// The WinUSB side counts when its chip information or at least its status
// request answers; a side that does not answer leaves nothing in the record.
TEST_F(BridgeProbeTest, WinUsbSideNeedsAnAnswer) {
  const auto statusOnly = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnly));
  statusOnly.bridge->Faults().OnUsbRequest(emu::UsbFault::Fails(), emu::kEveryTime, 0x7E1B);
  Probe(statusOnly.nodes.usbDevice);
  EXPECT_EQ(TextOf(record.winusbPath), statusOnly.nodes.winusbPath);

  const auto mute = builder.AddBridge(BridgeSetup().Layout(BridgeLayout::WinUsbOnly));
  mute.bridge->Faults().OnUsbRequest(emu::UsbFault::ShortTransfer(1));
  EXPECT_FALSE(Probe(mute.nodes.usbDevice));
  EXPECT_TRUE(IsEmpty(record.winusbPath));
  EXPECT_TRUE(IsEmpty(record.winusbInstanceId));
}

// Flash identification only for mode byte 1; the bridge is kept, also when
// its flash is not identified.
TEST_F(BridgeProbeTest, ModeByteSelectsTheMode) {
  struct Case {
    std::uint8_t modeByte;
    bool silentFlash;
    std::int32_t chipMode;
    bool identified;
  };
  for (const Case& c : {Case{0, false, kChipModeByte0, false}, Case{1, false, kChipModeSpiFlash, true},
                        Case{1, true, kChipModeSpiFlash, false}}) {
    SCOPED_TRACE(::testing::Message() << int{c.modeByte} << (c.silentFlash ? " silent flash" : ""));
    BridgeSetup setup = BridgeSetup().Layout(BridgeLayout::DiskOnly).Mode(c.modeByte);
    if (c.silentFlash) setup.Part(emu::PartNamed(emu::kSilentPart));
    const auto bridge = builder.AddBridge(setup);
    Probe(bridge.nodes.usbDevice);
    EXPECT_FALSE(IsEmpty(record.diskPath));
    EXPECT_EQ(record.chipMode, c.chipMode);
    EXPECT_EQ(record.flashChip != nullptr, c.identified);
    EXPECT_EQ(bridge.bridge->Trace().Spi().empty(), c.modeByte != 1);
  }
  ExpectAllClosed();
}

TEST_F(BridgeProbeTest, WithoutTheProbeMutexNothingIsSent) {
  const auto bridge = builder.AddBridge();
  sim.Mutexes().SetFaults(u"[Device check chip]", {true, true, false});
  EXPECT_FALSE(Probe(bridge.nodes.usbDevice));
  EXPECT_EQ(bridge.bridge->CommandsReceived(), 0u);
  EXPECT_TRUE(bridge.bridge->Trace().Usb().empty());
  ExpectAllClosed();
}

}  // namespace
}  // namespace vx::testing
