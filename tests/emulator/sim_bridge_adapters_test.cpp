#include <gtest/gtest.h>

#include "emulator/bridge.h"
#include "emulator/flash_catalogue.h"
#include "platform/platform.h"
#include "platform/scsi_api.h"
#include "platform/sim/sim_platform.h"
#include "platform/winusb_api.h"
#include "tests/emulator/bridge_blocks.h"

namespace vx::platform::sim {
namespace {

using emu::test::Bytes;

constexpr char16_t kDiskPath[] = u"\\\\?\\usbstor#disk&ven_vx&prod_bridge#1#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr char16_t kUsbPath[] = u"\\\\?\\usb#vid_1b7e&pid_94c6#2#{bridge}";

class SimAdaptersTest : public testing::Test {
 protected:
  SimAdaptersTest() { sim.AttachBridge(bridge, kDiskPath, kUsbPath); }

  // One request the way the vendor-command sender makes it.
  bool Send(std::u16string_view path, const Bytes& cdb, ScsiDirection direction, Bytes& data, std::uint8_t& status) {
    const DeviceHandle device = Scsi().Open(path);
    if (device == DeviceHandle::None) return false;
    const ScsiRequest request{cdb.data(), static_cast<std::uint8_t>(cdb.size()), direction,
                              static_cast<std::uint32_t>(data.size()), data.empty() ? nullptr : data.data(), 5};
    const bool ok = Scsi().PassThroughDirect(device, request, status);
    Scsi().Close(device);
    return ok;
  }

  SimPlatform sim;
  ScopedPlatform scoped{sim.Apis()};
  emu::Bridge bridge{sim.Clock(), emu::PartForRow(46)};
};

TEST_F(SimAdaptersTest, PassThroughReachesTheBridgeOnItsDiskPath) {
  Bytes id(3);
  std::uint8_t status = 0xEE;
  ASSERT_TRUE(Send(kDiskPath, emu::test::SpiBlock(0xE8, {0x9F}, 3), ScsiDirection::In, id, status));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(id, (Bytes{0xEF, 0x40, 0x18}));

  std::u16string upper(kDiskPath);
  for (auto& c : upper) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  Bytes none;
  ASSERT_TRUE(Send(upper, emu::test::SpiBlock(0xE7, {0x06}, 0), ScsiDirection::Out, none, status));
  EXPECT_EQ(bridge.Trace().SpiOpcodes(), "9F 06");

  Bytes bad(16);
  ASSERT_TRUE(Send(kDiskPath, {0x12, 0, 0, 0, 0x1B, 0x7E}, ScsiDirection::In, bad, status));
  EXPECT_EQ(status, 2);
  EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
  EXPECT_EQ(sim.Scsi().BadCloses(), 0u);
}

TEST_F(SimAdaptersTest, PathsWithoutAPresentBridgeDoNotOpen) {
  EXPECT_EQ(Scsi().Open(u"\\\\?\\no-such-disk"), DeviceHandle::None);
  EXPECT_EQ(Scsi().Open(kUsbPath), DeviceHandle::None);  // the WinUSB path is not a disk
  const DeviceHandle before = Scsi().Open(kDiskPath);
  ASSERT_NE(before, DeviceHandle::None);

  bridge.Unplug();
  EXPECT_EQ(Scsi().Open(kDiskPath), DeviceHandle::None);
  EXPECT_EQ(WinUsb().Open(kUsbPath), DeviceHandle::None);
  std::uint8_t status = 0;
  const Bytes cdb = emu::test::ChipInfoCdb();
  Bytes info(16);
  EXPECT_FALSE(Scsi().PassThroughDirect(before, {cdb.data(), 6, ScsiDirection::In, 16, info.data(), 5}, status));
  Scsi().Close(before);
  Scsi().Close(before);
  EXPECT_EQ(sim.Scsi().OpenHandles(), 0u);
  EXPECT_EQ(sim.Scsi().BadCloses(), 1u);
  EXPECT_TRUE(bridge.Trace().Scsi().empty());
}

TEST_F(SimAdaptersTest, MalformedRequestsNeverReachTheBridge) {
  const DeviceHandle device = Scsi().Open(kDiskPath);
  const Bytes cdb = emu::test::ChipInfoCdb();
  std::uint8_t status = 0;
  EXPECT_FALSE(Scsi().PassThroughDirect(device, {cdb.data(), 6, ScsiDirection::In, 16, nullptr, 5}, status));
  EXPECT_FALSE(Scsi().PassThroughDirect(device, {cdb.data(), 0, ScsiDirection::In, 0, nullptr, 5}, status));
  EXPECT_FALSE(Scsi().PassThroughDirect(DeviceHandle{0x1234}, {cdb.data(), 6, ScsiDirection::In, 0, nullptr, 5},
                                        status));
  Scsi().Close(device);
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
}

TEST_F(SimAdaptersTest, ControlTransfersReachTheBridgeOnItsWinUsbPath) {
  const DeviceHandle device = WinUsb().Open(kUsbPath);
  ASSERT_NE(device, DeviceHandle::None);
  const UsbInterfaceHandle usb = WinUsb().Initialize(device);
  ASSERT_NE(usb, UsbInterfaceHandle::None);
  EXPECT_EQ(sim.WinUsb().OpenDevices(), 1u);
  EXPECT_EQ(sim.WinUsb().OpenInterfaces(), 1u);

  Bytes buffer(16);
  std::uint32_t transferred = 0;
  EXPECT_TRUE(WinUsb().ControlTransfer(usb, {0xC0, 0xF1, 0x7E1B, 1, 16}, buffer.data(), 16, transferred));
  EXPECT_EQ(transferred, 16u);
  EXPECT_EQ(buffer[0], 0x1B);

  EXPECT_FALSE(WinUsb().ControlTransfer(usb, {0xC0, 0xF7, 0, 0, 2}, buffer.data(), 2, transferred));
  EXPECT_EQ(WinUsb().LastError(), emu::usb_error::kGenFailure);

  bridge.Faults().OnUsbRequest(emu::UsbFault::ShortTransfer(3), 1);
  EXPECT_TRUE(WinUsb().ControlTransfer(usb, {0xC0, 0xF1, 0, 0, 2}, buffer.data(), 2, transferred));
  EXPECT_EQ(transferred, 2u);  // a limit above the request does not shorten it
  bridge.Faults().OnUsbRequest(emu::UsbFault::ShortTransfer(1), 1);
  EXPECT_TRUE(WinUsb().ControlTransfer(usb, {0xC0, 0xF1, 0, 0, 2}, buffer.data(), 2, transferred));
  EXPECT_EQ(transferred, 1u);

  WinUsb().Free(usb);
  WinUsb().Close(device);
  EXPECT_EQ(sim.WinUsb().OpenDevices(), 0u);
  EXPECT_EQ(sim.WinUsb().OpenInterfaces(), 0u);
  EXPECT_EQ(sim.WinUsb().BadReleases(), 0u);
}

TEST_F(SimAdaptersTest, WinUsbSideFailuresReportTheirErrors) {
  EXPECT_EQ(WinUsb().Open(kDiskPath), DeviceHandle::None);
  EXPECT_EQ(WinUsb().LastError(), 2u);

  bridge.Config().winusbDriver = false;
  const DeviceHandle device = WinUsb().Open(kUsbPath);
  ASSERT_NE(device, DeviceHandle::None);
  EXPECT_EQ(WinUsb().Initialize(device), UsbInterfaceHandle::None);
  EXPECT_EQ(WinUsb().LastError(), 1u);
  WinUsb().Close(device);
  WinUsb().Free(UsbInterfaceHandle{0x99});
  EXPECT_EQ(sim.WinUsb().OpenDevices(), 0u);
  EXPECT_EQ(sim.WinUsb().BadReleases(), 1u);
  EXPECT_TRUE(bridge.Trace().Usb().empty());
}

}  // namespace
}  // namespace vx::platform::sim
