// The simulated SCSI area serving emulated bridges by device path, and the
// handle counts tests rely on. (The WinUSB area is proven by the probe.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "platform/platform.h"
#include "platform/scsi_api.h"
#include "platform/sim/sim_platform.h"
#include "tests/emulator/bridge_blocks.h"

namespace vx::platform::sim {
namespace {

using namespace emu::test;

constexpr char16_t kDiskPath[] = u"\\\\?\\usbstor#disk&ven_vx&prod_bridge#1#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr char16_t kUsbPath[] = u"\\\\?\\usb#vid_1b7e&pid_94c6#2#{bridge}";

class SimAdaptersTest : public testing::Test {
 protected:
  SimAdaptersTest() { sim.AttachBridge(bridge, kDiskPath, kUsbPath); }

  SimPlatform sim;
  ScopedPlatform scoped{sim.Apis()};
  emu::Bridge bridge{sim.Clock(), emu::PartForRow(46)};
};

TEST_F(SimAdaptersTest, PassThroughReachesOnlyAPresentBridgeOnItsDiskPath) {
  EXPECT_EQ(Scsi().Open(u"\\\\?\\no-such-disk"), DeviceHandle::None);
  EXPECT_EQ(Scsi().Open(kUsbPath), DeviceHandle::None);  // the WinUSB path is not a disk
  std::u16string upper(kDiskPath);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](char16_t c) { return c < 128 ? std::toupper(c) : c; });
  const DeviceHandle device = Scsi().Open(upper);
  ASSERT_NE(device, DeviceHandle::None);
  const Bytes cdb = ChipInfoCdb();
  Bytes info(16);
  ScsiCompletion status;
  ASSERT_TRUE(Scsi().PassThroughDirect(device, {cdb.data(), 6, ScsiDirection::In, 16, info.data(), 5}, status));
  EXPECT_EQ(status.status, 0);
  EXPECT_EQ(status.transferred, 16u);
  EXPECT_EQ(info[0], 0x1B);
  // Malformed requests never reach the bridge.
  EXPECT_FALSE(Scsi().PassThroughDirect(device, {cdb.data(), 6, ScsiDirection::In, 16, nullptr, 5}, status));
  EXPECT_FALSE(Scsi().PassThroughDirect(device, {cdb.data(), 0, ScsiDirection::In, 0, nullptr, 5}, status));
  EXPECT_FALSE(Scsi().PassThroughDirect(DeviceHandle{0x1234}, {cdb.data(), 6, ScsiDirection::In, 0, nullptr, 5},
                                        status));
  bridge.Unplug();
  EXPECT_EQ(Scsi().Open(kDiskPath), DeviceHandle::None);
  EXPECT_FALSE(Scsi().PassThroughDirect(device, {cdb.data(), 6, ScsiDirection::In, 16, info.data(), 5}, status));
  EXPECT_EQ(bridge.CommandsReceived(), 1u);
  Scsi().Close(device);
  Scsi().Close(device);
  EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
  EXPECT_EQ(sim.Scsi().BadCloses(), 1u);
}

}  // namespace
}  // namespace vx::platform::sim
