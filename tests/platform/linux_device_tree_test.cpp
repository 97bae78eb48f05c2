#include "platform/linux/linux_device_tree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "base/text.h"
#include "tests/support/fake_system_tree.h"

namespace vx::platform::linux_backend {
namespace {

using testing::FakeSystemTree;
using testing::LinuxMachineListing;

constexpr UsbId kBridge{0x1B7E, 0x94C6};

class LinuxDeviceTreeTest : public ::testing::Test {
 protected:
  LinuxDeviceTreeTest() { tree.SetBridgeIds({kBridge}); }

  std::string Id(DevNode node) {
    char16_t id[201] = {};
    EXPECT_TRUE(tree.GetDeviceId(node, id, 200));
    return ToUtf8(TextOf(id));
  }

  DevNode Node(const std::string& id) {
    DevNode node = 0;
    EXPECT_TRUE(tree.LocateDevNode(FromUtf8(id), node)) << id;
    return node;
  }

  // The IDs of a node's children, by first child and sibling chain.
  std::vector<std::string> Children(const std::string& id) {
    std::vector<std::string> ids;
    const DevNode parent = Node(id);
    DevNode child = 0;
    for (bool more = tree.GetChild(parent, child); more; more = tree.GetSibling(child, child)) {
      DevNode back = 0;
      EXPECT_TRUE(tree.GetParent(child, back));
      EXPECT_EQ(back, parent) << Id(child);
      ids.push_back(Id(child));
    }
    return ids;
  }

  // Instance ID and interface path of every member of a class, in order.
  std::vector<std::pair<std::string, std::string>> Members(const Guid& interfaceClass) {
    std::vector<std::pair<std::string, std::string>> members;
    const DeviceInfoSet set = tree.GetClassDevs(interfaceClass, 0x12);
    DeviceInterfaceData interfaceData;
    for (std::uint32_t i = 0; tree.EnumDeviceInterfaces(set, interfaceClass, i, interfaceData); ++i) {
      char16_t path[260] = {};
      std::uint32_t required = 0;
      DeviceInfoData device;
      EXPECT_EQ(tree.GetDeviceInterfaceDetail(set, interfaceData, path, 260, required, &device), QueryResult::Ok);
      char16_t id[260] = {};
      EXPECT_EQ(tree.GetDeviceInstanceId(set, device, id, 260, required), QueryResult::Ok);
      std::string shownPath = ToUtf8(TextOf(path));
      if (shownPath.starts_with(system.Path(""))) shownPath = shownPath.substr(system.Path("").size());
      members.emplace_back(ToUtf8(TextOf(id)), shownPath);
    }
    tree.DestroyDeviceInfoList(set);
    return members;
  }

  std::string Property(const std::string& id, DeviceProperty property) {
    char16_t text[260] = {};
    std::uint32_t length = sizeof text;
    if (tree.GetDevNodeRegistryProperty(Node(id), property, text, length) != QueryResult::Ok) return "(none)";
    return ToUtf8(TextOf(text));
  }

  FakeSystemTree system{LinuxMachineListing()};
  std::vector<std::string> refused;  // nodes this user may not open
  LinuxDeviceTree tree{system.Paths(), [this](const std::string& path) {
                         for (const auto& node : refused) {
                           if (path == system.Path(node)) return EACCES;
                         }
                         return 0;
                       }};
};

using Ids = std::vector<std::string>;

TEST_F(LinuxDeviceTreeTest, ShapesSysfsAsHubsDevicesInterfacesAndDisks) {
  EXPECT_EQ(Children(""), (Ids{"usb1", "usb2"}));
  EXPECT_EQ(Children("usb1"), (Ids{"1-1", "1-2", "1-4"}));
  EXPECT_EQ(Children("1-1"), (Ids{"1-1.3"}));  // a hub holds what is plugged into it
  EXPECT_EQ(Children("1-1.3"), (Ids{"1-1.3:1.0", "1-1.3:1.1"}));
  EXPECT_EQ(Children("1-1.3:1.0"), (Ids{"1-1.3:1.0/2:0:0:0"}));
  EXPECT_EQ(Children("usb2"), (Ids{"2-1", "2-2", "2-3", "2-4"}));
  EXPECT_EQ(Children("2-2"), (Ids{"2-2:1.0", "2-2:1.1"}));
  EXPECT_EQ(Children("2-3:1.0"), (Ids{"2-3:1.0/1:0:0:1"}));  // the CD-ROM LUN is no disk
  EXPECT_EQ(Children("2-4:1.0"), Ids{});                     // serial ports and HID nodes are not shown
  EXPECT_EQ(Children("1-4:1.0"), Ids{});
  EXPECT_EQ(Children("1-2"), (Ids{"1-2:1.0"}));
  EXPECT_EQ(Id(Node("")), "usb");
  DevNode none = 0;
  EXPECT_FALSE(tree.GetParent(Node(""), none));
  EXPECT_FALSE(tree.LocateDevNode(u"1-3", none));
  EXPECT_EQ(Id(Node("2-2:1.0/0:0:0:0")), "2-2:1.0/0:0:0:0");
}

TEST_F(LinuxDeviceTreeTest, ClassesListTheirMembersInBusAndPortOrder) {
  EXPECT_EQ(Members(GUID_DEVINTERFACE_USB_DEVICE),
            (std::vector<std::pair<std::string, std::string>>{
                {"1-1.3", "sys/bus/usb/devices/1-1.3"},
                {"1-2", "sys/bus/usb/devices/1-2"},
                {"1-4", "sys/bus/usb/devices/1-4"},
                {"2-1", "sys/bus/usb/devices/2-1"},
                {"2-2", "sys/bus/usb/devices/2-2"},
                {"2-3", "sys/bus/usb/devices/2-3"},
                {"2-4", "sys/bus/usb/devices/2-4"},
            }));
  EXPECT_EQ(Members(GUID_DEVINTERFACE_USB_HUB), (std::vector<std::pair<std::string, std::string>>{
                                                    {"usb1", "sys/bus/usb/devices/usb1"},
                                                    {"1-1", "sys/bus/usb/devices/1-1"},
                                                    {"usb2", "sys/bus/usb/devices/usb2"},
                                                }));
  EXPECT_EQ(Members(GUID_DEVINTERFACE_DISK), (std::vector<std::pair<std::string, std::string>>{
                                                 {"1-1.3:1.0/2:0:0:0", "dev/sg3"},
                                                 {"2-1:1.0/4:0:0:0", "dev/sg4"},
                                                 {"2-2:1.0/0:0:0:0", "dev/sg0"},
                                                 {"2-3:1.0/1:0:0:1", "dev/sg2"},
                                             }));
  // The serial adapter's vendor-class interface is not a bridge's.
  EXPECT_EQ(Members(BridgeInterfaceGuid), (std::vector<std::pair<std::string, std::string>>{
                                              {"1-1.3:1.1", "sys/bus/usb/devices/1-1.3:1.1"},
                                              {"2-2:1.1", "sys/bus/usb/devices/2-2:1.1"},
                                          }));
  tree.SetBridgeIds({{0x0403, 0x6001}});
  EXPECT_EQ(Members(BridgeInterfaceGuid),
            (std::vector<std::pair<std::string, std::string>>{{"2-4:1.0", "sys/bus/usb/devices/2-4:1.0"}}));
  EXPECT_EQ(tree.OpenSets(), 0u);
}

TEST_F(LinuxDeviceTreeTest, NodesCarryDescriptionsDriversAndKeysButNoLocation) {
  const struct {
    std::string id;
    DeviceProperty property;
    std::string value;
  } cases[] = {
      {"2-2", DeviceProperty::DeviceDesc, "VX94C6 Bridge"},
      {"1-2", DeviceProperty::DeviceDesc, "USB device"},  // empty product string
      {"1-1", DeviceProperty::DeviceDesc, "USB2.0 Hub"},
      {"2-2:1.1", DeviceProperty::DeviceDesc, "VX94C6 Control"},
      {"2-2:1.0", DeviceProperty::DeviceDesc, "USB interface"},
      {"2-2:1.0/0:0:0:0", DeviceProperty::DeviceDesc, "TARVENIX VX94C6 Disk"},
      {"2-2:1.0", DeviceProperty::Service, "usb-storage"},
      {"2-2:1.0/0:0:0:0", DeviceProperty::Service, "sd"},
      {"2-2:1.1", DeviceProperty::Service, "(none)"},
      {"2-2", DeviceProperty::Driver, "2-2"},
      {"usb1", DeviceProperty::Driver, "usb1"},
      {"2-2:1.0", DeviceProperty::Driver, "(none)"},
      {"2-2", DeviceProperty::FriendlyName, "(none)"},
      {"2-2", DeviceProperty::LocationInformation, "(none)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Property(c.id, c.property), c.value) << c.id;
}

TEST_F(LinuxDeviceTreeTest, NodesKeepTheirNumbersAcrossReadingsAndUnplugging) {
  const DevNode bridge = Node("2-2");
  const DevNode stick = Node("2-3");
  system.Remove("sys/bus/usb/devices/2-3");
  tree.Rescan();
  DevNode found = 0;
  EXPECT_FALSE(tree.LocateDevNode(u"2-3", found));
  EXPECT_FALSE(tree.GetParent(stick, found));  // a number of a device that left leads nowhere
  EXPECT_EQ(Node("2-2"), bridge);
  system.Apply("[sys/bus/usb/devices]\n2-3 -> ../../../devices/pci0000:00/0000:00:04.0/usb2/2-3\n");
  tree.Rescan();
  EXPECT_EQ(Node("2-3"), stick);
}

TEST_F(LinuxDeviceTreeTest, SetsAreReadingsOfTheirOwn) {
  const DeviceInfoSet before = tree.GetClassDevs(GUID_DEVINTERFACE_USB_DEVICE, 0x12);
  system.Remove("sys/bus/usb/devices/1-4");
  const DeviceInfoSet after = tree.GetClassDevs(GUID_DEVINTERFACE_USB_DEVICE, 0x12);
  DeviceInfoData device;
  EXPECT_TRUE(tree.EnumDeviceInfo(before, 6, device));
  EXPECT_FALSE(tree.EnumDeviceInfo(after, 6, device));
  // A set answers for its own class only.
  DeviceInterfaceData interfaceData;
  EXPECT_FALSE(tree.EnumDeviceInterfaces(before, GUID_DEVINTERFACE_DISK, 0, interfaceData));
  tree.DestroyDeviceInfoList(before);
  tree.DestroyDeviceInfoList(after);
  EXPECT_EQ(tree.OpenSets(), 0u);
}

TEST_F(LinuxDeviceTreeTest, NoticesSayWhatKeepsABridgeOutOfReach) {
  EXPECT_EQ(tree.Rescan()->notices, std::vector<std::string>{});

  refused = {"dev/sg0", "dev/bus/usb/002/002"};
  system.Remove("sys/devices/pci0000:00/0000:00:04.0/usb2/2-1/2-1:1.0/host4");  // just plugged in
  system.Remove("sys/devices/pci0000:00/0000:00:04.0/usb1/1-1/1-1.3/1-1.3:1.0/host2/target2:0:0/2:0:0:0/scsi_generic");
  const auto notices = tree.Rescan()->notices;
  const std::string root = system.Path("");
  EXPECT_EQ(notices, (std::vector<std::string>{
                         "The disk " + root + "dev/sdc of USB device 1-1.3 (1B7E:94C6) has no generic SCSI node: the "
                         "sg module is not loaded (modprobe sg). Without it only root can send the bridge its commands.",
                         "USB device 2-1 (1B7E:94C6) looks like a bridge, but its disk has not appeared (yet): the "
                         "kernel adds it about a second after plug-in. Try again.",
                         "Cannot open " + root + "dev/sg0 of USB device 2-2 (1B7E:94C6) for reading and writing: "
                         "permission denied. Run as root, or install the udev rule that comes with the program (see the "
                         "README).",
                         "Cannot open " + root + "dev/bus/usb/002/002 of USB device 2-2 (1B7E:94C6) for reading and "
                         "writing: permission denied. Run as root, or install the udev rule that comes with the program "
                         "(see the README).",
                     }));
  // Without the sg driver the block device carries the vendor commands.
  EXPECT_EQ(Members(GUID_DEVINTERFACE_DISK).front(),
            (std::pair<std::string, std::string>{"1-1.3:1.0/2:0:0:0", "dev/sdc"}));
}

TEST_F(LinuxDeviceTreeTest, AMassStorageInterfaceWithoutDriverIsNamed) {
  system.Remove("sys/devices/pci0000:00/0000:00:04.0/usb2/2-1/2-1:1.0/host4");
  system.Remove("sys/devices/pci0000:00/0000:00:04.0/usb2/2-1/2-1:1.0/driver");
  EXPECT_EQ(tree.Rescan()->notices,
            std::vector<std::string>{"USB device 2-1 (1B7E:94C6) looks like a bridge, but no driver serves its "
                                     "mass-storage interface 2-1:1.0: is the usb-storage module loaded?"});
}

}  // namespace
}  // namespace vx::platform::linux_backend
