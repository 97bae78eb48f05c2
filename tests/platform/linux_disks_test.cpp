#include "platform/linux/linux_disks.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "platform/linux/block_devices.h"
#include "tests/support/fake_system_tree.h"

namespace vx::platform::linux_backend {
namespace {

using testing::FakeSystemTree;
using testing::LinuxMachineListing;

class LinuxDisksTest : public ::testing::Test {
 protected:
  std::u16string Node(const std::string& name) const { return FromUtf8(system.Path("dev/" + name)); }

  FakeSystemTree system{LinuxMachineListing()};
  LinuxDisks disks{system.Paths()};
};

TEST_F(LinuxDisksTest, SectorsComeFromTheBlockDeviceOfTheGenericNode) {
  std::string sector(1024, '\0');
  sector[440] = '\x78';
  sector[441] = '\x56';
  sector[442] = '\x34';
  sector[443] = '\x12';
  system.Write("dev/sda", sector);
  system.Write("dev/sg0", std::string(1024, '\xEE'));  // the generic node is never read

  const DeviceHandle disk = disks.Open(Node("sg0"));
  ASSERT_NE(disk, DeviceHandle::None);
  std::uint64_t position = 7;
  ASSERT_TRUE(disks.Seek(disk, 0, position));
  EXPECT_EQ(position, 0u);
  std::uint8_t buffer[512] = {};
  std::uint32_t read = 0;
  ASSERT_TRUE(disks.Read(disk, buffer, 512, read));
  EXPECT_EQ(read, 512u);
  EXPECT_EQ(buffer[440], 0x78);
  EXPECT_EQ(buffer[443], 0x12);
  EXPECT_TRUE(disks.GetDriveLayout(disk));
  disks.Close(disk);
  EXPECT_EQ(disks.OpenHandles(), 0u);
  EXPECT_EQ(disks.GetLogicalDrives(), 0u);
}

TEST_F(LinuxDisksTest, AnEmptyDiskDoesNotAnswerTheLayoutRequest) {
  system.Write("dev/sdd", "");  // no medium: size 0
  const DeviceHandle disk = disks.Open(Node("sg4"));
  ASSERT_NE(disk, DeviceHandle::None);
  EXPECT_FALSE(disks.GetDriveLayout(disk));
  disks.Close(disk);
}

TEST_F(LinuxDisksTest, BlockDevicesBehindDiskPaths) {
  const auto paths = system.Paths();
  const struct {
    std::string path;
    std::string block;
  } cases[] = {
      {system.Path("dev/sg2"), "sdb"},
      {system.Path("dev/sg3"), "sdc"},
      {system.Path("dev/sdd"), "sdd"},  // the disk path without the sg driver
      {system.Path("dev/sg9"), ""},     // no such generic node
      {system.Path("dev/sde"), ""},     // no such block device
      {system.Path("dev/../dev/sg0"), ""},
      {"/elsewhere/sg0", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(BlockDeviceName(paths, c.path), c.block) << c.path;
  EXPECT_EQ(disks.Open(Node("sg9")), DeviceHandle::None);
}

TEST_F(LinuxDisksTest, MountPointsOfADiskAndItsPartitions) {
  system.Write("proc/self/mounts",
               "/dev/sda1 /media/op/VX\\040BRIDGE vfat rw 0 0\n"
               "/dev/sdb /media/op/STICK vfat rw 0 0\n"
               "/dev/sda /mnt/whole\\134disk ext4 rw 0 0\n"
               "garbage\n");
  EXPECT_EQ(MountPoints(system.Paths(), "sda"), (std::vector<std::string>{"/media/op/VX BRIDGE", "/mnt/whole\\disk"}));
  EXPECT_EQ(MountPoints(system.Paths(), "sdc"), std::vector<std::string>{});
}

}  // namespace
}  // namespace vx::platform::linux_backend
