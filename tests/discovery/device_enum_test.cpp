#include "discovery/device_enum.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "discovery/hub_list.h"
#include "discovery/scoped_handles.h"
#include "discovery_fixture.h"

namespace vx::testing {
namespace {

using platform::GUID_DEVINTERFACE_DISK;
using platform::GUID_DEVINTERFACE_USB_HUB;
using Spec = platform::sim::SimBridgeSpec;

using DeviceEnumTest = DiscoveryTest;

TEST_F(DeviceEnumTest, ClassWithoutInterfacesMakesNoSearchSet) {
  char16_t path[kTextChars] = {};
  std::uint32_t length = kTextBytes;
  EXPECT_EQ(CountInterfaces(GUID_DEVINTERFACE_DISK), 0u);
  const auto setsBefore = sim.MachineAreas().deviceTree.SetsMade();
  EXPECT_FALSE(FindInterfacePath(GUID_DEVINTERFACE_DISK, u"USBSTOR\\X", path, length));
  EXPECT_EQ(sim.MachineAreas().deviceTree.SetsMade(), setsBefore + 1);  // the count's set only
  ExpectAllClosed();
}

TEST_F(DeviceEnumTest, FindsTheInterfacePathOfADeviceIgnoringCase) {
  builder.AddUsbStick();
  const auto bridge = builder.AddBridge(Spec().Layout(emu::BridgeLayout::DiskOnly));
  std::u16string id = machine.Node(bridge.nodes.diskNode).instanceId;
  for (auto& c : id) c = static_cast<char16_t>(std::tolower(c));
  char16_t path[kTextChars];
  std::fill(std::begin(path), std::end(path), u'#');
  std::uint32_t length = kTextBytes;
  ASSERT_TRUE(FindInterfacePath(GUID_DEVINTERFACE_DISK, id, path, length));
  EXPECT_EQ(TextOf(path), bridge.nodes.diskPath);
  EXPECT_EQ(length, bridge.nodes.diskPath.size() * 2);
  EXPECT_EQ(path[kTextChars - 1], u'\0');  // the rest of the output is zero-filled
  ExpectAllClosed();
}

TEST_F(DeviceEnumTest, TextThatDoesNotFitTheCapacityIsNotCopied) {
  for (std::size_t pathChars : {259u, 260u}) {
    SCOPED_TRACE(pathChars);
    const std::u16string id = u"LONG\\" + std::u16string(1, static_cast<char16_t>(u'0' + pathChars % 10));
    const emu::NodeId node = machine.AddNode(machine.Root(), id);
    machine.AddInterface(node, GUID_DEVINTERFACE_DISK, u"\\\\?\\" + std::u16string(pathChars - 4, u'p'));
    char16_t path[kTextChars] = {u'x'};
    std::uint32_t length = kTextBytes;
    EXPECT_EQ(FindInterfacePath(GUID_DEVINTERFACE_DISK, id, path, length), pathChars < kTextChars);
    if (pathChars >= kTextChars) {
      EXPECT_EQ(path[0], u'x');
    }
  }
  ExpectAllClosed();
}

TEST_F(DeviceEnumTest, InstanceIdNeedsRoomForItsTerminator) {
  const auto bridge = builder.AddBridge();
  ScopedInfoSet set(platform::DeviceTree().GetClassDevs(platform::GUID_DEVINTERFACE_USB_DEVICE, kPresentInterfaces));
  const std::u16string& id = machine.Node(bridge.nodes.usbDevice).instanceId;
  char16_t out[kTextChars] = {};
  std::uint32_t length = static_cast<std::uint32_t>(id.size() * 2);
  EXPECT_FALSE(GetInstanceId(set.Get(), 0, out, length));
  length += 2;
  ASSERT_TRUE(GetInstanceId(set.Get(), 0, out, length));
  EXPECT_EQ(TextOf(out), id);
  EXPECT_EQ(length, (id.size() + 1) * 2);
  EXPECT_FALSE(GetInstanceId(set.Get(), 1, out, length));
}

TEST_F(DeviceEnumTest, DisplayNameIsTheFirstReadableProperty) {
  struct Case {
    emu::NodeProperties properties;
    std::optional<std::u16string> name;
  };
  const Case cases[] = {
      {{u"Friendly", u"Description", u"service", {}, {}}, u"Friendly"},
      {{{}, u"Description", u"service", {}, {}}, u"Description"},
      {{{}, {}, u"service", {}, {}}, u"service"},
      {{{}, {}, {}, u"{key}\\0001", u"Port_#0001.Hub_#0001"}, std::nullopt},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::u16string id = u"NODE\\" + FromUtf8(std::to_string(++n));
    machine.AddNode(machine.Root(), id, c.properties);
    char16_t name[kTextChars] = {};
    std::uint32_t length = kTextBytes;
    EXPECT_EQ(GetDisplayName(id, name, length), c.name.has_value());
    EXPECT_EQ(TextOf(name), c.name.value_or(u""));
  }
}

TEST_F(DeviceEnumTest, RelativesAreFoundOnTheNtFamilyOnly) {
  const emu::NodeId parent = machine.AddNode(machine.Root(), u"P", {u"Parent", {}, {}, {}, {}});
  machine.AddNode(parent, u"A");
  machine.AddNode(parent, u"B");
  char16_t out[kTextChars] = {};
  std::uint32_t chars = 0;
  ASSERT_TRUE(GetChildId(u"p", out, chars));
  EXPECT_EQ(TextOf(out), u"A");
  EXPECT_EQ(chars, 1u);
  ASSERT_TRUE(GetSiblingId(u"A", out, chars));
  EXPECT_EQ(TextOf(out), u"B");
  EXPECT_FALSE(GetSiblingId(u"B", out, chars));
  ASSERT_TRUE(GetParentId(u"B", out));
  EXPECT_EQ(TextOf(out), u"P");
  EXPECT_FALSE(GetChildId(u"A", out, chars));

  machine.platformId = 1;
  std::uint32_t length = kTextBytes;
  EXPECT_FALSE(GetChildId(u"P", out, chars));
  EXPECT_FALSE(GetSiblingId(u"A", out, chars));
  EXPECT_FALSE(GetParentId(u"B", out));
  EXPECT_FALSE(GetDisplayName(u"P", out, length));
  machine.failVersion = true;
  machine.platformId = 2;
  EXPECT_FALSE(IsNtPlatform());
}

TEST_F(DeviceEnumTest, ParentIdIsLimitedTo200Characters) {
  for (std::size_t size : {200u, 201u}) {
    SCOPED_TRACE(size);
    const std::u16string parentId(size, static_cast<char16_t>(u'a' + size % 26));
    const emu::NodeId parent = machine.AddNode(machine.Root(), parentId);
    const std::u16string childId = u"CHILD" + FromUtf8(std::to_string(size));
    machine.AddNode(parent, childId);
    char16_t out[kTextChars] = {};
    EXPECT_EQ(GetParentId(childId, out), size <= kDeviceIdChars);
    EXPECT_EQ(TextOf(out).size(), size <= kDeviceIdChars ? size : 0u);
  }
}

class HubListTest : public DiscoveryTest {};

TEST_F(HubListTest, SnapshotsEveryHubAndWhatIsPluggedIn) {
  builder.AddMouse();
  const auto bridge = builder.AddBridge();
  const emu::NodeId external = builder.AddHub(4);
  builder.PlugInto(external);
  builder.AddMouse();

  HubList list;
  ASSERT_TRUE(BuildHubList(list));
  ASSERT_EQ(list.hubCount(), 2);
  EXPECT_EQ(TextOf(list.hubs[0].instanceId), machine.Node(builder.RootHub()).instanceId);
  EXPECT_EQ(TextOf(list.hubs[1].instanceId), machine.Node(external).instanceId);
  ASSERT_EQ(list.hubs[0].ports.size(), 8u);
  EXPECT_EQ(list.hubs[0].nodeInfo.numberOfPorts, 8);
  EXPECT_EQ(list.hubs[0].ports[1].connection.connectionStatus, platform::kDeviceConnected);
  EXPECT_EQ(list.hubs[0].ports[1].devInst, bridge.nodes.usbDevice);
  EXPECT_EQ(list.hubs[0].ports[2].devInst, external);
  EXPECT_EQ(list.hubs[0].ports[3].connection.connectionStatus, 0u);
  EXPECT_EQ(list.hubs[1].ports.size(), 4u);
  EXPECT_NE(list.hubs[1].ports[0].devInst, 0u);
  ExpectAllClosed();

  FreeHubList(list);
  EXPECT_EQ(list.hubCount(), 0);
}

TEST_F(HubListTest, HubsThatCannotBeAskedKeepWhatWasLearnt) {
  emu::AddRootHub(machine, 2);  // nothing plugged in
  const emu::NodeId closed = emu::AddRootHub(machine, 2);
  const emu::NodeId composite = emu::AddRootHub(machine, 2);
  machine.HubOf(closed)->failOpen = true;
  machine.HubOf(composite)->multiInterfaceParent = true;
  machine.HubOf(composite)->interfaceCount = 3;

  HubList list;
  ASSERT_TRUE(BuildHubList(list));
  ASSERT_EQ(list.hubCount(), 4);
  EXPECT_EQ(list.hubs[1].ports.size(), 2u);  // all ports empty: the zeroed table stays
  EXPECT_EQ(list.hubs[1].ports[0].devInst, 0u);
  EXPECT_EQ(TextOf(list.hubs[2].instanceId), machine.Node(closed).instanceId);
  EXPECT_TRUE(list.hubs[2].ports.empty());
  EXPECT_EQ(list.hubs[3].nodeInfo.nodeType, platform::HubNodeType::UsbMIParent);
  EXPECT_EQ(list.hubs[3].ports.size(), 3u);  // one per interface
  ExpectAllClosed();
}

TEST_F(HubListTest, NoHubSetGivesAnEmptyList) {
  machine.failingSetClasses.push_back(GUID_DEVINTERFACE_USB_HUB);
  HubList list;
  list.hubs.resize(3);
  EXPECT_FALSE(BuildHubList(list));
  EXPECT_EQ(list.hubCount(), 0);
}

TEST_F(HubListTest, DriverKeyWalkMatchesIgnoringCaseAndNeedsADescription) {
  const emu::NodeId a = machine.AddNode(machine.Root(), u"A", {{}, u"Device A", {}, u"{Class}\\0001", {}});
  machine.AddNode(a, u"A1", {{}, {}, {}, u"{Class}\\0002", {}});
  const emu::NodeId b = machine.AddNode(machine.Root(), u"B", {{}, {}, {}, {}, {}});
  const emu::NodeId b1 = machine.AddNode(b, u"B1", {{}, u"Device B1", {}, u"{Class}\\0003", {}});
  EXPECT_EQ(DevNodeFromDriverKey(u"{CLASS}\\0001"), a);
  EXPECT_EQ(DevNodeFromDriverKey(u"{class}\\0003"), b1);  // reached by climbing back from A1
  EXPECT_EQ(DevNodeFromDriverKey(u"{Class}\\0002"), 0u);  // found, but no description
  EXPECT_EQ(DevNodeFromDriverKey(u"{Class}\\0009"), 0u);
}

}  // namespace
}  // namespace vx::testing
