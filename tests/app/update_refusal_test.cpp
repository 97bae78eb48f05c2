// Updates that must not begin: the configuration image would go to a bridge
// it was not read from, or the disk image would run past the end of the
// flash and wrap around onto what was just written. Both are refused after
// the device search and before anything is erased.
#include <gtest/gtest.h>

#include "tests/app/updater_fixture.h"

namespace vx::testing {
namespace {

const std::string kForeign =
    "ERROR: The configuration of this bridge was not read at start-up.\n"
    "Nothing was written; please start the updater again. [10]";
const std::string kTooLarge = "ERROR: The disk image does not fit the flash of this bridge.\nNothing was written. [10]";

void ExpectRefusedUntouched(UpdaterMachine& m, emu::Bridge& bridge, const Bytes& before, const std::string& box) {
  EXPECT_EQ(m.view_.LastBox(), box);
  EXPECT_EQ(m.view_.Joined("stop timer 8888").find("Erasing"), std::string::npos);
  EXPECT_EQ(m.FlashOf(bridge, 0, before.size()), before);
  EXPECT_EQ(m.dlg_.Outcome(), UpdaterOutcome::UpdateFailed);
  m.ExpectHandedBack();
}

TEST(ForeignConfigTest, BinUpdateWritesOnlyTheConfigurationReadFromThatSameBridge) {
  // One failed chip-information request on the disk side at start-up: only
  // the WinUSB side answered, so the bridge passed unread.
  {
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge();
    m.WriteFirmware("fw.bin");
    bridge.Faults().OnOpcode(0xD0, emu::Fault::CallFails(), 1);
    const Bytes before = m.FlashOf(bridge, 0, 0x4000);
    m.RunUpdater();
    ExpectRefusedUntouched(m, bridge, before, kForeign);
  }
  // Another bridge is the first one at update time.
  for (const char* file : {"fw.bin", "fw.eep"}) {
    SCOPED_TRACE(file);
    UpdaterMachine m;
    emu::Bridge& first = m.OldBridge();
    emu::Bridge& second = m.OldBridge(DefaultBridge(), Pattern(CodeAreaSize, 0x99));
    m.WriteFirmware(file);
    const Bytes before = m.FlashOf(second, 0, 0x4000);
    ASSERT_TRUE(m.StartUp());
    first.Unplug();
    m.FireTimers();
    if (std::string(file) == "fw.bin") {
      ExpectRefusedUntouched(m, second, before, kForeign);
    } else {  // the file's own configuration may go to any bridge
      EXPECT_EQ(m.view_.LastBox(), kSuccess);
      EXPECT_EQ(m.FlashOf(second, 0, ConfigImageSize), kEepConfig);
    }
  }
}

TEST(DiskImageFitTest, ImageRunningPastTheFlashEndIsRefusedBeforeTheErase) {
  const struct {
    const char* part;
    std::uint32_t capacity;
    bool fits;
  } cases[] = {
      // The flash ID tells 512 KiB.
      {"EF 30 13", 512 * 1024, false},
      {"EF 30 13", 512 * 1024, true},
      // Identified by 0x90, which tells no size: the bridge's own disk-image
      // read of the last block decides.
      {"BF 49 (0x90 only)", 128 * 1024, false},
      {"BF 49 (0x90 only)", 128 * 1024, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.part) + (c.fits ? " fits" : " too large"));
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge(DefaultBridge().Part(emu::PartNamed(c.part)));
    m.WriteFirmware("disk.eep");
    const std::uint32_t room = c.capacity - 0x2800;
    const Bytes disk = Pattern(c.fits ? room : room + 1, 0x6B);
    m.WriteFile(u"disk.eep", MakeEep(kEepConfig, kEepCode, disk));
    const Bytes before = m.FlashOf(bridge, 0, 0x4000);
    m.RunUpdater();
    if (c.fits) {
      EXPECT_EQ(m.view_.LastBox(), kSuccess);
      EXPECT_EQ(m.FlashOf(bridge, 0, ConfigImageSize), kEepConfig);
      EXPECT_EQ(m.FlashOf(bridge, 0x2800, disk.size()), disk);
    } else {
      ExpectRefusedUntouched(m, bridge, before, kTooLarge);
    }
  }
}

}  // namespace
}  // namespace vx::testing
