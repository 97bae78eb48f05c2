// Both channels end to end against an emulated bridge on the simulated
// machine.
#include <gtest/gtest.h>

#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "platform/sim/sim_platform.h"
#include "tests/transport/fake_bridge_apis.h"
#include "transport/usb_requests.h"
#include "transport/vendor_commands.h"

namespace vx {
namespace {

using test::Bytes;

constexpr char16_t kMutexName[] = u"[Device0000]";

class EmulatedBridgeTest : public testing::Test {
 protected:
  EmulatedBridgeTest() {
    sim.AttachBridge(bridge, u"\\\\?\\usbstor#disk&ven_vx#1", u"\\\\?\\usb#vid_1b7e&pid_94c6#2");
    device.mutex = sim.Mutexes().Create(kMutexName);
    SetText(device.diskPath, u"\\\\?\\usbstor#disk&ven_vx#1");
    SetText(device.winusbPath, u"\\\\?\\usb#vid_1b7e&pid_94c6#2");
  }
  ~EmulatedBridgeTest() override { sim.Mutexes().Close(device.mutex); }

  platform::sim::SimPlatform sim;
  platform::ScopedPlatform scoped{sim.Apis()};
  emu::Bridge bridge{sim.Clock(), emu::PartForRow(46)};
  DeviceRecord device{};
};

TEST_F(EmulatedBridgeTest, ChannelsReachTheBridge) {
  Bytes info(16), usbInfo(16), status(2), id(3);
  ASSERT_TRUE(ReadChipInfo(device, info.data()));
  EXPECT_EQ(info, Bytes(bridge.Config().chipInfo.begin(), bridge.Config().chipInfo.end()));
  ASSERT_TRUE(ReadChipInfoUsb(device, usbInfo.data()));
  EXPECT_EQ(usbInfo, Bytes(bridge.Config().usbChipInfo.begin(), bridge.Config().usbChipInfo.end()));
  EXPECT_TRUE(ReadStatusUsb(device, status.data()));

  const std::uint8_t readId[] = {0x9F};
  ASSERT_TRUE(SpiCommandIn(device, readId, 1, id.data(), 3));
  EXPECT_EQ(id, (Bytes{0xEF, 0x40, 0x18}));

  Bytes sectors(1536), back(1536, 0);
  for (std::size_t i = 0; i < sectors.size(); ++i) sectors[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(WriteImageSectors(device, 10240, sectors.data(), 1536));
  ASSERT_TRUE(ReadImageSectors(device, 10240, back.data(), 1536));
  EXPECT_EQ(back, sectors);
}

TEST_F(EmulatedBridgeTest, LockHeldByAnotherProgramSendsNothing) {
  ASSERT_TRUE(sim.Mutexes().HoldByForeignOwner(kMutexName));
  Bytes info(16);
  EXPECT_FALSE(ReadChipInfo(device, info.data()));
  EXPECT_FALSE(ReadChipInfoUsb(device, info.data()));
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
}

TEST_F(EmulatedBridgeTest, MissingDriverOrUnpluggedBridgeFails) {
  Bytes info(16);
  bridge.Config().winusbDriver = false;
  EXPECT_FALSE(ReadChipInfoUsb(device, info.data()));
  EXPECT_EQ(sim.WinUsb().OpenDevices(), 0u);
  bridge.Unplug();
  EXPECT_FALSE(ReadChipInfo(device, info.data()));
  EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
}

}  // namespace
}  // namespace vx
