#include "discovery/device_enum.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "discovery/hub_list.h"
#include "discovery_fixture.h"

namespace vx::testing {
namespace {

using platform::GUID_DEVINTERFACE_DISK;
using platform::GUID_DEVINTERFACE_USB_HUB;

using DeviceEnumTest = DiscoveryTest;

TEST_F(DeviceEnumTest, FindsTheInterfacePathOfADeviceIgnoringCase) {
  char16_t path[kTextChars] = {};
  std::uint32_t length = kTextBytes;
  EXPECT_EQ(CountInterfaces(GUID_DEVINTERFACE_DISK), 0u);
  EXPECT_FALSE(FindInterfacePath(GUID_DEVINTERFACE_DISK, u"USBSTOR\\X", path, length));

  builder.AddUsbStick();
  const auto bridge = builder.AddBridge(BridgeSetup().Layout(platform::sim::BridgeLayout::DiskOnly));
  const std::u16string id = Lowered(machine.Node(bridge.nodes.diskNode).instanceId);
  ASSERT_TRUE(FindInterfacePath(GUID_DEVINTERFACE_DISK, id, path, length));
  EXPECT_EQ(TextOf(path), bridge.nodes.diskPath);
  EXPECT_EQ(length, bridge.nodes.diskPath.size() * 2);
  ExpectAllClosed();
}

// Texts at the edge of their capacity: one character more and nothing is copied.
TEST_F(DeviceEnumTest, TextThatDoesNotFitTheCapacityIsNotCopied) {
  for (std::size_t chars : {259u, 260u}) {
    SCOPED_TRACE(chars);
    const std::u16string id = u"LONG\\" + FromUtf8(std::to_string(chars));
    machine.AddInterface(machine.AddNode(machine.Root(), id), GUID_DEVINTERFACE_DISK,
                         u"\\\\?\\" + std::u16string(chars - 4, u'p'));
    char16_t path[kTextChars] = {u'x'};
    std::uint32_t length = kTextBytes;
    EXPECT_EQ(FindInterfacePath(GUID_DEVINTERFACE_DISK, id, path, length), chars < 260);
    EXPECT_EQ(path[0], chars < 260 ? u'\\' : u'x');
  }
  // The instance ID needs room for its terminator.
  const auto bridge = builder.AddBridge();
  const std::u16string& id = machine.Node(bridge.nodes.usbDevice).instanceId;
  const ScopedInfoSet set = UsbDeviceSet();
  char16_t out[kTextChars] = {};
  std::uint32_t length = static_cast<std::uint32_t>(id.size() * 2);
  EXPECT_FALSE(GetInstanceId(set.Get(), 0, out, length));
  EXPECT_TRUE(IsEmpty(out));
  length += 2;
  ASSERT_TRUE(GetInstanceId(set.Get(), 0, out, length));
  EXPECT_EQ(TextOf(out), id);
  EXPECT_EQ(length, (id.size() + 1) * 2);
}

TEST_F(DeviceEnumTest, DisplayNameIsTheFirstReadableProperty) {
  struct Case {
    platform::sim::NodeProperties properties;
    std::optional<std::u16string> name;
  };
  const Case cases[] = {
      {{u"Friendly", u"Description", u"service", {}, {}}, u"Friendly"},
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

class HubListTest : public DiscoveryTest {};

TEST_F(HubListTest, HubsThatCannotBeAskedKeepWhatWasLearnt) {
  const platform::sim::NodeId closed = platform::sim::AddRootHub(machine, 2);
  const platform::sim::NodeId composite = platform::sim::AddRootHub(machine, 2);
  machine.HubOf(closed)->failOpen = true;
  machine.HubOf(composite)->multiInterfaceParent = true;
  machine.HubOf(composite)->interfaceCount = 3;  // one port per interface

  HubList list;
  ASSERT_TRUE(BuildHubList(list));
  ASSERT_EQ(list.hubCount(), 3);
  // A hub that cannot be opened keeps its place: positions are hub numbers.
  EXPECT_EQ(TextOf(list.hubs[1].instanceId), machine.Node(closed).instanceId);
  EXPECT_TRUE(list.hubs[1].ports.empty());
  EXPECT_EQ(list.hubs[2].ports.size(), 3u);
  ExpectAllClosed();

  machine.failingSetClasses.push_back(GUID_DEVINTERFACE_USB_HUB);
  EXPECT_FALSE(BuildHubList(list));
  EXPECT_EQ(list.hubCount(), 0);
}

TEST_F(HubListTest, DriverKeyWalkMatchesIgnoringCaseAndNeedsADescription) {
  const platform::sim::NodeId a = machine.AddNode(machine.Root(), u"A", {{}, u"Device A", {}, u"{Class}\\0001", {}});
  machine.AddNode(a, u"A1", {{}, {}, {}, u"{Class}\\0002", {}});
  EXPECT_EQ(DevNodeFromDriverKey(u"{CLASS}\\0001"), a);
  EXPECT_EQ(DevNodeFromDriverKey(u"{Class}\\0002"), 0u);  // found, but no description
  EXPECT_EQ(DevNodeFromDriverKey(u"{Class}\\0009"), 0u);
}

}  // namespace
}  // namespace vx::testing
