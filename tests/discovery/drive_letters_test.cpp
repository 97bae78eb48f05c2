#include "discovery/drive_letters.h"

#include <gtest/gtest.h>

#include <string>

#include "discovery_fixture.h"

namespace vx::testing {
namespace {

using platform::sim::VolumeBinding;

constexpr char16_t kMounted[] = u"SYSTEM\\MountedDevices";

class DriveLettersTest : public DiscoveryTest {
 protected:
  // A new disk-only bridge whose volumes name its disk that way.
  platform::sim::BridgeNodes Bridge(VolumeBinding binding, std::string letters) {
    return builder.AddBridge(BridgeSetup().Layout(platform::sim::BridgeLayout::DiskOnly).Binding(binding).DriveLetters(letters)).nodes;
  }

  DeviceRecord RecordOf(const platform::sim::BridgeNodes& nodes) {
    DeviceRecord record{};
    SetText(record.diskPath, nodes.diskPath);
    SetText(record.diskInstanceId, machine.Node(nodes.diskNode).instanceId);
    return record;
  }

  static std::u16string Letters(const DeviceRecord& record) {
    return std::u16string(record.driveLetters, record.driveLetters + record.driveLetterCount);
  }
};

// Each bridge takes exactly its own present letters.
TEST_F(DriveLettersTest, EachWayOfNamingTheDiskTakesItsLetters) {
  struct Case {
    VolumeBinding binding;
    std::string letters;
    char absent;  // dropped from the drive mask after the volumes were made
    std::u16string expected;
  };
  const Case cases[] = {
      {VolumeBinding::Signature, "HJ", 'H', u"J"},
      {VolumeBinding::DevicePath, "K", 0, u"K"},
      {VolumeBinding::InstanceId, "L", 0, u"L"},
      {VolumeBinding::RemovableMedia, "M", 0, u"M"},
  };
  builder.AddUsbStick('F');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letters);
    DeviceRecord record = RecordOf(Bridge(c.binding, c.letters));
    if (c.absent != 0) machine.logicalDrives &= ~(1u << (c.absent - 'A'));
    EXPECT_TRUE(MapDriveLetters(record));
    EXPECT_EQ(Letters(record), c.expected);
  }
  ExpectAllClosed();
}

// A volume named by text matches the disk's "ParentIdPrefix" only in entries
// that name removable media, the bridge's vendor or "Ven_AUTO-RUN", by
// substring and ignoring case; an empty prefix matches nothing.
TEST_F(DriveLettersTest, ParentIdPrefixMustBeTheDisksOwn) {
  const auto nodes = Bridge(VolumeBinding::RemovableMedia, "E");
  const auto enumKey = platform::sim::EnumKeyOf(machine, nodes.diskNode);
  DeviceRecord record = RecordOf(nodes);
  machine.Registry().SetText(enumKey, u"ParentIdPrefix", u"7&1a2b3c&0", true);  // no longer E's
  const std::pair<char, std::u16string> entries[] = {{'K', u"SCSI#Disk&VEN_TARVENIX&Prod_X#7&1A2B3C&0&000000"},
                                                     {'L', u"USBSTOR#Disk&Ven_AUTO-RUN&Prod_Y#7&1A2B3C&0"},
                                                     {'M', u"SCSI#Disk&Ven_Other&Prod_Z#7&1A2B3C&0"}};
  for (const auto& [letter, text] : entries) {
    machine.logicalDrives |= 1u << (letter - 'A');
    machine.Registry().SetText(kMounted, u"\\DosDevices\\" + std::u16string(1, letter) + u":", u"\\??\\" + text, false);
  }
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"KL");

  machine.Registry().SetText(enumKey, u"ParentIdPrefix", u"", true);
  EXPECT_FALSE(MapDriveLetters(record));
  machine.Registry().RemoveKey(enumKey);
  EXPECT_FALSE(MapDriveLetters(record));
  ExpectAllClosed();
}

// An unreadable first sector gives signature 0, which names no volume: the
// text tests alone find the disk. A disk that does not answer the layout
// request keeps its letters as they were.
TEST_F(DriveLettersTest, WhatTheDiskAnswersDecides) {
  const auto nodes = Bridge(VolumeBinding::DevicePath, "K");
  DeviceRecord record = RecordOf(nodes);
  builder.AddUsbStick('F');
  machine.logicalDrives |= 1u << ('M' - 'A') | 1u << ('N' - 'A');
  machine.Registry().SetValue(kMounted, u"\\DosDevices\\M:", {0, 0, 0, 0, 0, 0, 0x10, 0, 0, 0, 0, 0});
  machine.Registry().SetValue(kMounted, u"\\DosDevices\\N:", {});
  machine.FindDisk(nodes.diskPath)->failRead = true;
  EXPECT_EQ(ReadDiskSignature(record), 0u);
  EXPECT_TRUE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"K");

  machine.FindDisk(nodes.diskPath)->failLayout = true;
  EXPECT_FALSE(MapDriveLetters(record));
  EXPECT_EQ(Letters(record), u"K");
  ExpectAllClosed();
}

}  // namespace
}  // namespace vx::testing
