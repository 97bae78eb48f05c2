#include "discovery/drive_letters.h"

#include <gtest/gtest.h>

#include <string>

#include "discovery_fixture.h"

namespace vx::testing {
namespace {

using emu::VolumeBinding;
using Spec = platform::sim::SimBridgeSpec;

constexpr char16_t kMounted[] = u"SYSTEM\\MountedDevices";

class DriveLettersTest : public DiscoveryTest {
 protected:
  DeviceRecord RecordOf(const emu::BridgeNodes& nodes) {
    DeviceRecord record{};
    SetText(record.diskPath, nodes.diskPath);
    SetText(record.diskInstanceId, machine.Node(nodes.diskNode).instanceId);
    return record;
  }

  static std::u16string Letters(const DeviceRecord& record) {
    return std::u16string(record.driveLetters, record.driveLetters + record.driveLetterCount);
  }

  emu::BridgeNodes Bridge(VolumeBinding binding, std::string letters) {
    return builder.AddBridge(Spec().Layout(emu::BridgeLayout::DiskOnly).Binding(binding).DriveLetters(letters)).nodes;
  }
};

TEST_F(DriveLettersTest, EachWayOfNamingTheDiskTakesTheLetter) {
  for (auto binding : {VolumeBinding::Signature, VolumeBinding::DevicePath, VolumeBinding::InstanceId,
                       VolumeBinding::RemovableMedia}) {
    SCOPED_TRACE(static_cast<int>(binding));
    const auto nodes = Bridge(binding, "");
    const char letter = static_cast<char>('H' + static_cast<int>(binding));
    emu::AddVolume(machine, letter, nodes, binding);
    DeviceRecord record = RecordOf(nodes);
    EXPECT_TRUE(MapDriveLetters(record));
    EXPECT_EQ(Letters(record), std::u16string(1, static_cast<char16_t>(letter)));
  }
  ExpectAllClosed();
}

TEST_F(DriveLettersTest, LettersOfOtherVolumesAreLeftOut) {
  const auto nodes = Bridge(VolumeBinding::Signature, "EG");
  builder.AddUsbStick('F');
  DeviceRecord record = RecordOf(nodes);
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"EG");
  EXPECT_EQ(record.driveLetterCount, 2);
}

TEST_F(DriveLettersTest, SignatureIsEnoughWithoutTheTextTests) {
  const auto nodes = Bridge(VolumeBinding::Signature, "E");
  machine.Registry().RemoveKey(emu::EnumKeyOf(machine, nodes.diskNode));
  auto data = *machine.Registry().FindValue(kMounted, u"\\DosDevices\\E:");
  ASSERT_EQ(data.size(), 12u);
  DeviceRecord record = RecordOf(nodes);
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"E");
}

TEST_F(DriveLettersTest, LetterMissingFromTheDriveMaskIsNeverTaken) {
  const auto nodes = Bridge(VolumeBinding::Signature, "EG");
  machine.logicalDrives &= ~(1u << ('E' - 'A'));
  DeviceRecord record = RecordOf(nodes);
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"G");
}

TEST_F(DriveLettersTest, RemovableMediaNeedsTheDisksParentIdPrefix) {
  const auto nodes = Bridge(VolumeBinding::RemovableMedia, "E");
  const auto enumKey = emu::EnumKeyOf(machine, nodes.diskNode);
  DeviceRecord record = RecordOf(nodes);

  machine.Registry().SetText(enumKey, u"ParentIdPrefix", u"8&deadbeef&0", true);
  EXPECT_FALSE(MapDriveLetters(record));
  machine.Registry().RemoveValue(enumKey, u"ParentIdPrefix");
  EXPECT_FALSE(MapDriveLetters(record));
  machine.Registry().RemoveKey(enumKey);
  EXPECT_FALSE(MapDriveLetters(record));
  EXPECT_EQ(record.driveLetterCount, 0);
  ExpectAllClosed();
}

TEST_F(DriveLettersTest, VendorTextIsASubstringTestLikeItsNeighbours) {
  const auto nodes = Bridge(VolumeBinding::Signature, "");
  const auto enumKey = emu::EnumKeyOf(machine, nodes.diskNode);
  machine.Registry().SetText(enumKey, u"ParentIdPrefix", u"7&1a2b3c&0", true);
  machine.logicalDrives |= 1u << ('K' - 'A');
  machine.Registry().SetText(kMounted, u"\\DosDevices\\K:",
                             u"\\??\\SCSI#Disk&VEN_TARVENIX&Prod_X#7&1A2B3C&0&000000#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}",
                             false);
  DeviceRecord record = RecordOf(nodes);
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"K");
}

TEST_F(DriveLettersTest, UnreadableDiskHasSignatureZero) {
  const auto nodes = Bridge(VolumeBinding::Signature, "");
  builder.AddUsbStick('F');
  machine.logicalDrives |= 1u << ('M' - 'A');
  machine.Registry().SetValue(kMounted, u"\\DosDevices\\M:", {0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0});
  machine.FindDisk(nodes.diskPath)->failRead = true;
  DeviceRecord record = RecordOf(nodes);
  EXPECT_EQ(ReadDiskSignature(record), 0u);
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"M");
}

TEST_F(DriveLettersTest, LayoutRequestDecidesWhetherTheListIsRebuilt) {
  const auto nodes = Bridge(VolumeBinding::Signature, "E");
  DeviceRecord record = RecordOf(nodes);
  record.driveLetters[0] = u'Q';
  record.driveLetterCount = 1;

  machine.FindDisk(nodes.diskPath)->failLayout = true;
  EXPECT_FALSE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"Q");

  machine.FindDisk(nodes.diskPath)->failLayout = false;
  machine.Registry().RemoveKey(kMounted);
  EXPECT_FALSE(MapDriveLetters(record));
  EXPECT_EQ(record.driveLetterCount, 0);
  ExpectAllClosed();
}

}  // namespace
}  // namespace vx::testing
