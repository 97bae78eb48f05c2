// The device calls through the Windows calls. Without a bridge (and under
// Wine, without the drivers that serve the SCSI, USB-hub and WinUSB
// requests) what can be shown is that paths that do not exist open nothing,
// that requests to something that is no such device fail, that empty device
// sets end cleanly, and that every handle opened on the way is closed again.
// The walks over real devices are the simulated machine's tests.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/device_classes.h"
#include "platform/win32/win32_device_tree.h"
#include "platform/win32/win32_disks.h"
#include "platform/win32/win32_hubs.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_scsi.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_winusb.h"
#include "tests/platform/win32_handle_count.h"
#include "tests/support/scratch_dir.h"

namespace vx::platform::win32_backend {
namespace {

const std::u16string kMissingDevice =
    u"\\\\?\\usb#vid_1b7e&pid_94c6#vx-no-such-device#{4f2a9c61-3b7d-4e15-a8c2-59d07e31b6f4}";

class Win32DevicesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(handlesBefore_, 0); }
  void TearDown() override { EXPECT_EQ(test::OpenHandleCount(), handlesBefore_); }

  const long handlesBefore_ = test::OpenHandleCount();
  Win32Scsi scsi_;
  Win32WinUsb winusb_;
  Win32Hubs hubs_;
  Win32Disks disks_;
};

TEST_F(Win32DevicesTest, PathsThatDoNotExistOpenNothing) {
  for (const std::u16string& path : {kMissingDevice, std::u16string(), kMissingDevice + std::u16string(1, u'\0')}) {
    EXPECT_EQ(scsi_.Open(path), DeviceHandle::None);
    EXPECT_EQ(hubs_.Open(path), DeviceHandle::None);
    EXPECT_EQ(disks_.Open(path), DeviceHandle::None);
    EXPECT_EQ(winusb_.Open(path), DeviceHandle::None);
    EXPECT_NE(winusb_.LastError(), 0u);
  }
}

// A plain file opens like a device path, but answers none of the device
// requests; the disk reads work on it as on any handle.
TEST_F(Win32DevicesTest, DeviceRequestsToAPlainFileFail) {
  const test::ScratchDir dir;
  const std::u16string path = dir.Write("sector.bin", std::string(440, 'x') + "\x78\x56\x34\x12" + std::string(68, 'y'));

  const DeviceHandle device = scsi_.Open(path);
  ASSERT_NE(device, DeviceHandle::None);
  const std::uint8_t cdb[16] = {0xD0};
  std::uint8_t data[16] = {};
  ScsiCompletion completion{0x55, 7};
  EXPECT_FALSE(scsi_.PassThroughDirect(device, {cdb, 16, ScsiDirection::In, 16, data, 5}, completion));
  EXPECT_EQ(completion.status, 0x55);
  EXPECT_EQ(completion.transferred, 7u);
  scsi_.Close(device);

  const DeviceHandle hub = hubs_.Open(path);
  ASSERT_NE(hub, DeviceHandle::None);
  HubNodeInformation node;
  PortConnectionInformation port;
  char16_t name[64];
  std::uint32_t required = 0;
  EXPECT_FALSE(hubs_.GetNodeInformation(hub, node));
  EXPECT_FALSE(hubs_.GetNodeConnectionInformation(hub, 1, port));
  EXPECT_FALSE(hubs_.GetConnectionDriverKeyName(hub, 1, name, 64, required));
  hubs_.Close(hub);

  const DeviceHandle disk = disks_.Open(path);
  ASSERT_NE(disk, DeviceHandle::None);
  EXPECT_FALSE(disks_.GetDriveLayout(disk));
  std::uint64_t position = 1;
  std::uint8_t sector[512] = {};
  std::uint32_t got = 0;
  ASSERT_TRUE(disks_.Seek(disk, 0, position));
  EXPECT_EQ(position, 0u);
  ASSERT_TRUE(disks_.Read(disk, sector, 512, got));
  EXPECT_EQ(got, 512u);
  EXPECT_EQ(sector[440] | sector[441] << 8 | sector[442] << 16 | sector[443] << 24, 0x12345678);
  disks_.Close(disk);
}

// WinUSB itself is not available under Wine, so only what fails before the
// driver is asked is shown here.
TEST_F(Win32DevicesTest, WinUsbRefusesMissingHandles) {
  EXPECT_EQ(winusb_.Initialize(DeviceHandle::None), UsbInterfaceHandle::None);
  EXPECT_EQ(winusb_.LastError(), 6u);  // ERROR_INVALID_HANDLE
  std::uint8_t buffer[16];
  std::uint32_t transferred = 9;
  EXPECT_FALSE(winusb_.ControlTransfer(UsbInterfaceHandle::None, {0xC0, 0xF1, 0, 0, 16}, buffer, 16, transferred));
  EXPECT_EQ(transferred, 0u);
  EXPECT_EQ(winusb_.LastError(), 6u);
  winusb_.Free(UsbInterfaceHandle::None);
}

TEST_F(Win32DevicesTest, EmptyDeviceSetsEndCleanly) {
  Win32DeviceTree tree;
  for (const std::uint32_t flags : {kDigcfPresent | kDigcfDeviceInterface,
                                    kDigcfPresent | kDigcfProfile | kDigcfDeviceInterface}) {
    const DeviceInfoSet set = tree.GetClassDevs(BridgeInterfaceGuid, flags);
    ASSERT_NE(set, DeviceInfoSet::None);
    DeviceInfoData device;
    DeviceInterfaceData interfaceData;
    EXPECT_FALSE(tree.EnumDeviceInfo(set, 0, device));
    EXPECT_FALSE(tree.EnumDeviceInterfaces(set, BridgeInterfaceGuid, 0, interfaceData));
    tree.DestroyDeviceInfoList(set);
  }
  DevNode node = 77;
  EXPECT_FALSE(tree.LocateDevNode(u"USB\\VID_1B7E&PID_94C6\\VX-NO-SUCH-DEVICE", node));
  EXPECT_EQ(node, 77u);
  DeviceInfoData device;
  EXPECT_FALSE(tree.EnumDeviceInfo(DeviceInfoSet::None, 0, device));
}

TEST_F(Win32DevicesTest, RegistryReadsValuesWithinTheirCapacity) {
  Win32Registry registry;
  EXPECT_EQ(registry.OpenLocalMachineKey(u"SYSTEM\\CurrentControlSet\\Enum\\VX-NO-SUCH-KEY"), RegistryKey::None);
  const RegistryKey key = registry.OpenLocalMachineKey(u"software\\microsoft\\windows nt\\currentversion");
  ASSERT_NE(key, RegistryKey::None);
  std::uint8_t data[512];
  std::uint32_t length = sizeof data;
  ASSERT_TRUE(registry.QueryValue(key, u"CURRENTBUILDNUMBER", data, length));
  EXPECT_GT(length, 2u);
  EXPECT_EQ(length % 2, 0u);
  EXPECT_EQ(data[length - 2] | data[length - 1], 0);  // the text with its terminator
  std::uint32_t small = 2;
  EXPECT_FALSE(registry.QueryValue(key, u"CurrentBuildNumber", data, small));
  std::uint32_t enough = sizeof data;
  EXPECT_FALSE(registry.QueryValue(key, u"VX-no-such-value", data, enough));
  registry.Close(key);
}

// The disk driver's part played by a stand-in that needs room for the
// header (8 bytes) and 32 bytes for each entry of the disk's layout.
TEST(Win32Disks, DriveLayoutIsAskedAgainWithRoomForEveryEntry) {
  const struct {
    const char* what;
    DWORD entries;
    DWORD error;  // when the disk cannot answer at all
    bool answered;
    std::vector<DWORD> sizesAsked;
  } cases[] = {
      {"partition table only", 4, 0, true, {192}},
      {"two logical drives", 12, 0, true, {192, 384, 768}},
      {"no medium", 4, ERROR_NOT_READY, false, {192}},
      {"a layout too large to believe", 100000, 0, false,
       {192, 384, 768, 1536, 3072, 6144, 12288, 24576, 49152, 98304, 196608}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<DWORD> sizesAsked;
    Win32Disks disks([&](HANDLE, DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes, DWORD*) -> BOOL {
      EXPECT_EQ(code, 0x7400Cu);
      EXPECT_EQ(in, nullptr);
      EXPECT_EQ(inBytes, 0u);
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(out) % 8, 0u);
      sizesAsked.push_back(outBytes);
      ::SetLastError(c.error != 0 ? c.error : ERROR_INSUFFICIENT_BUFFER);
      return c.error == 0 && outBytes >= 8 + 32 * c.entries;
    });
    EXPECT_EQ(disks.GetDriveLayout(static_cast<DeviceHandle>(0x1234)), c.answered);
    EXPECT_EQ(sizesAsked, c.sizesAsked);
  }
}

TEST_F(Win32DevicesTest, SystemReportsAnNtVersionAndDriveC) {
  Win32System system;
  OsVersion version;
  ASSERT_TRUE(system.GetVersion(version));
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_GE(version.majorVersion, 5u);
  EXPECT_NE(disks_.GetLogicalDrives() & (1u << 2), 0u);
}

}  // namespace
}  // namespace vx::platform::win32_backend
