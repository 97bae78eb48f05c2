// Discovery's own code over the Linux backend's device tree, hubs and disks,
// read from a recorded sysfs layout; the bridges' SCSI and USB traffic is
// answered by emulated bridges.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "discovery/device_table.h"
#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "platform/linux/linux_device_tree.h"
#include "platform/linux/linux_disks.h"
#include "platform/linux/linux_hubs.h"
#include "platform/linux/linux_registry.h"
#include "platform/linux/linux_system.h"
#include "platform/linux/linux_winusb.h"
#include "platform/sim/sim_platform.h"
#include "tests/support/fake_system_tree.h"

namespace vx::testing {
namespace {

using namespace platform::linux_backend;

// libusb as the emulated bridges would answer through it.
class EmulatedUsb : public UsbDeviceAccess {
 public:
  int Open(const UsbAddress& address, UsbId& ids, UsbDeviceToken& device) override {
    const auto found = bridges.find(UsbDeviceName(address));
    if (found == bridges.end()) return -5;
    ids = {0x1B7E, 0x94C6};
    device = reinterpret_cast<UsbDeviceToken>(found->second);
    ++open;
    return 0;
  }
  int ControlTransfer(UsbDeviceToken device, const platform::UsbSetupPacket& setup, std::uint8_t* data,
                      std::uint32_t) override {
    auto* bridge = reinterpret_cast<emu::Bridge*>(device);
    const emu::UsbResult result =
        bridge->ControlTransfer({setup.requestType, setup.request, setup.value, setup.index, setup.length}, data,
                                setup.length);
    ++requests;
    return result.ok ? static_cast<int>(result.transferred) : -9;
  }
  void Close(UsbDeviceToken) override { --open; }

  std::map<std::string, emu::Bridge*> bridges;  // by USB device name
  int open = 0;
  int requests = 0;
};

class LinuxDiscoveryTest : public ::testing::Test {
 protected:
  LinuxDiscoveryTest() {
    tree.SetBridgeIds({{0x1B7E, 0x94C6}});
    platform::Platform areas = sim.Apis();
    areas.deviceTree = &tree;
    areas.hubs = &hubs;
    areas.disks = &disks;
    areas.registry = &registry;
    areas.system = &system;
    areas.winusb = &winusb;
    installed = std::make_unique<platform::ScopedPlatform>(areas);
  }
  ~LinuxDiscoveryTest() override { ReleaseDevices(table, count); }

  // An emulated bridge answering on a disk node and, when given, as a USB device.
  void AddBridge(const std::string& sg, const std::string& usbDevice, std::uint32_t version) {
    emu::ChipInfoValues values;
    values.firmwareVersion = version;
    emu::BridgeConfig config;
    config.chipInfo = emu::DiskChipInfo(values);
    config.usbChipInfo = emu::UsbChipInfo(values);
    bridges.push_back(std::make_unique<emu::Bridge>(sim.Clock(), emu::PartForRow(1), config));
    sim.AttachBridge(*bridges.back(), FromUtf8(machine.Path("dev/" + sg)), u"");
    if (!usbDevice.empty()) usb.bridges[usbDevice] = bridges.back().get();
  }

  std::string Shown(std::u16string_view path) const {
    const std::string text = ToUtf8(path);
    const std::string root = machine.Path("");
    return text.starts_with(root) ? text.substr(root.size()) : text;
  }

  void ExpectAllClosed() {
    EXPECT_EQ(tree.OpenSets(), 0u);
    EXPECT_EQ(hubs.OpenHandles(), 0u);
    EXPECT_EQ(disks.OpenHandles(), 0u);
    EXPECT_EQ(winusb.OpenDevices(), 0u);
    EXPECT_EQ(winusb.OpenInterfaces(), 0u);
    EXPECT_EQ(usb.open, 0);
    EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
    EXPECT_EQ(sim.Mutexes().OpenHandles(), 0u);
  }

  FakeSystemTree machine{LinuxMachineListing()};
  platform::sim::SimPlatform sim;
  LinuxDeviceTree tree{machine.Paths(), [](const std::string&) { return 0; }};
  LinuxHubs hubs{tree};
  LinuxDisks disks{machine.Paths()};
  LinuxRegistry registry;
  LinuxSystem system;
  EmulatedUsb usb;
  LinuxWinUsb winusb{tree, usb};
  std::unique_ptr<platform::ScopedPlatform> installed;
  std::vector<std::unique_ptr<emu::Bridge>> bridges;
  DeviceRecord* table = nullptr;
  std::int32_t count = 0;
};

TEST_F(LinuxDiscoveryTest, FindsEveryBridgeInBusAndPortOrder) {
  AddBridge("sg0", "2-2", 0x01000002);  // composite, on the root hub
  AddBridge("sg4", "", 0x01000001);     // disk only
  AddBridge("sg3", "1-1.3", 0x01000003);  // composite, behind the external hub
  const std::size_t descriptors = OpenDescriptors();

  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 3);
  const struct {
    const char* usb;
    const char* diskPath;
    const char* winusbPath;
    std::int32_t hub, port;
    std::uint32_t version;
  } expected[] = {
      {"1-1.3", "dev/sg3", "sys/bus/usb/devices/1-1.3:1.1", 2, 3, 0x01000003},
      {"2-1", "dev/sg4", "", 3, 1, 0x01000001},
      {"2-2", "dev/sg0", "sys/bus/usb/devices/2-2:1.1", 3, 2, 0x01000002},
  };
  for (std::int32_t slot = 0; slot < count; ++slot) {
    const DeviceRecord& record = table[slot];
    const auto& want = expected[slot];
    SCOPED_TRACE(want.usb);
    EXPECT_EQ(ToUtf8(TextOf(record.usbInstanceId)), want.usb);
    EXPECT_EQ(Shown(TextOf(record.diskPath)), want.diskPath);
    EXPECT_EQ(Shown(TextOf(record.winusbPath)), want.winusbPath);
    EXPECT_EQ(record.hubNumber, want.hub);
    EXPECT_EQ(record.portNumber, want.port);
    EXPECT_EQ(record.firmwareVersion, want.version);
    EXPECT_NE(record.flashChip, nullptr);
    EXPECT_EQ(ToUtf8(TextOf(record.diskName)), "TARVENIX VX94C6 Disk");
  }
  EXPECT_EQ(ToUtf8(TextOf(table[0].usbName)), "VX94C6 Bridge");
  EXPECT_EQ(ToUtf8(TextOf(table[0].winusbName)), "VX94C6 Control");

  ASSERT_TRUE(ReleaseDevices(table, count));
  ExpectAllClosed();
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(LinuxDiscoveryTest, ABridgeWhoseDiskHasNotAppearedYetIsKeptByItsUsbSide) {
  AddBridge("sg0", "2-2", 0x01000002);
  machine.Remove("sys/devices/pci0000:00/0000:00:04.0/usb2/2-2/2-2:1.0/host0");
  ASSERT_TRUE(RefreshDevices(table, count));
  ASSERT_EQ(count, 1);
  EXPECT_EQ(ToUtf8(TextOf(table[0].usbInstanceId)), "2-2");
  EXPECT_TRUE(IsEmpty(table[0].diskPath));
  EXPECT_EQ(Shown(TextOf(table[0].winusbPath)), "sys/bus/usb/devices/2-2:1.1");
  ReleaseDevices(table, count);
  ExpectAllClosed();
}

TEST_F(LinuxDiscoveryTest, NoBridgeAmongOrdinaryDevices) {
  const std::size_t descriptors = OpenDescriptors();
  EXPECT_FALSE(RefreshDevices(table, count));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(usb.requests, 0);  // the bridges' vendor interfaces did not open
  ExpectAllClosed();
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

}  // namespace
}  // namespace vx::testing
