// The update thread: the steps it shows, what it leaves in the flash, how
// every failure ends, and how the dialog behaves while it runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "tests/app/updater_fixture.h"

namespace vx::testing {
namespace {

constexpr std::uint32_t kDiskAddress = 0x2800;

// From a bridge as found (protected, holding old firmware) to the new
// firmware, protected again; the disk image is filled up to whole blocks,
// whatever the bridge does with a sector command's bytes past its last block.
TEST(FullUpdateTest, ShowsEveryStepAndLeavesTheNewFirmwareInTheFlash) {
  const std::string withoutDisk =
      "update disabled | range 100 | pos 0 | bar shown | pos 10 | status Success. | step lift protection | "
      "status Erasing chip... | pos 15 | pos 30 | step erase | pos 60 | step write | status Verifying write data... | "
      "pos 90 | step verify | pos 95 | status Success. | step restore protection | pos 100 | status Success. | "
      "box Message: Success!! | bar hidden | update enabled";
  const std::string withDisk =
      "update disabled | range 200 | pos 0 | bar shown | pos 10 | status Success. | step lift protection | "
      "status Erasing chip... | pos 15 | pos 30 | step erase | pos 60 | step write | status Verifying write data... | "
      "pos 90 | step verify | pos 100 | status Writing disk image file... | pos 150 | step write disk image | "
      "pos 180 | step verify disk image | pos 195 | status Success. | step restore protection | pos 200 | "
      "status Success. | box Message: Success!! | bar hidden | update enabled";
  const std::vector<std::pair<std::uint32_t, Bytes>> eepFlash = {
      {0, kEepConfig}, {512, kEepCode}, {kDiskAddress, kEepDisk}, {kDiskAddress + 5000, Bytes(1000, 0xFF)}};
  const struct {
    const char* file;
    emu::SectorTail tail;
    const std::string& events;  // after the auto-start tick
    std::vector<std::pair<std::uint32_t, Bytes>> flash;
  } cases[] = {
      // ".bin" keeps the bridge's own configuration image; the rest of the code area is erased.
      {"fw.bin", emu::SectorTail::Moved, withoutDisk,
       {{0, kDeviceConfig}, {512, kBinCode}, {512 + 3000, Bytes(100, 0xFF)}}},
      {"fw.eep", emu::SectorTail::Moved, withDisk, eepFlash},
      {"fw.eep", emu::SectorTail::Dropped, withDisk, eepFlash},
      {"nocode.eep", emu::SectorTail::Moved, withoutDisk, {{0, kEepConfig}, {512, Bytes(CodeAreaSize, 0xFF)}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge(DefaultBridge().Tail(c.tail));
    emu::Bridge& second = m.OldBridge(DefaultBridge(0x0200000A));  // neither examined nor updated
    const Bytes secondBefore = m.FlashOf(second, 0, 0x4000);
    m.WriteFirmware(c.file);
    m.WriteFile(u"nocode.eep", MakeEep(kEepConfig, {}));
    m.RunUpdater();
    EXPECT_EQ(m.view_.Joined("stop timer 8888"), c.events);
    for (const auto& [address, bytes] : c.flash) EXPECT_EQ(m.FlashOf(bridge, address, bytes.size()), bytes);
    EXPECT_EQ(bridge.Flash()->Status(0), 0x1C);  // the row's protect value, written back
    EXPECT_EQ(m.FlashOf(second, 0, 0x4000), secondBefore);
    m.ExpectHandedBack();
    EXPECT_EQ(m.dlg_.Outcome(), UpdaterOutcome::Updated);
    EXPECT_FALSE(m.view_.Ended());  // the dialog stays open after an update
  }
}

// Update pressed with firmware loaded by hand: no bridge at all, or one
// whose flash is not identified (no protection steps, the erase fails).
TEST(EarlyFailureTest, EndsBeforeAnythingIsWritten) {
  const struct {
    bool bridge;
    std::string events;
  } cases[] = {
      {false,
       "update disabled | range 100 | pos 0 | bar shown | pos 10 | "
       "box ERROR: Can't Find the device!\nPlease Check the device. [10] | bar hidden | update enabled"},
      {true,
       "update disabled | range 100 | pos 0 | bar shown | pos 10 | status Erasing chip... | pos 15 | "
       "box ERROR: Erase chip failed. [10] | bar hidden | update enabled"},
  };
  for (const auto& c : cases) {
    UpdaterMachine m;
    emu::Bridge* bridge =
        c.bridge ? &m.OldBridge(DefaultBridge().Part(emu::PartNamed(emu::kUnknownMakerPart))) : nullptr;
    const Bytes before = bridge ? m.FlashOf(*bridge, 0, 0x4000) : Bytes{};
    Images().SetCodeImage(Pattern(CodeAreaSize, 0x77).data());
    m.dlg_.m_imageLoaded = 1;
    m.dlg_.OnUpdateClicked();
    m.dlg_.WaitForUpdate();
    EXPECT_EQ(m.view_.Joined(), c.events);
    EXPECT_EQ(bridge ? m.FlashOf(*bridge, 0, 0x4000) : Bytes{}, before);
    EXPECT_EQ(m.dlg_.Outcome(), UpdaterOutcome::UpdateFailed);
    m.ExpectHandedBack();
  }
}

// How an ".eep" update ends when the bridge misbehaves from the step the view
// shows at `at` on: every byte compared counts, the last one included; the
// disk image has a second way in and out, and only both failing ends the
// update; protection that cannot be restored is reported, and the update
// still succeeds.
TEST(UpdateEndingTest, EachFailingStepEndsWithItsMessage) {
  const emu::Fault fails = emu::Fault::CallFails();
  const struct {
    std::string at;
    std::function<void(emu::Bridge&)> plant;
    std::string after;  // the events after `at`
  } cases[] = {
      {"status Verifying write data...",  // the last of 26 reads, each with one poll, ends with the block's last byte
       [](emu::Bridge& b) { b.Faults().OnCommand(b.CommandsReceived() + 51, emu::Fault::CorruptByte(111)); },
       "pos 90 | box ERROR: Verify data failed. [10] | bar hidden | update enabled"},
      {"status Writing disk image file...",  // the last byte of the 5120 read back
       [](emu::Bridge& b) { b.Faults().OnCommand(b.CommandsReceived() + 2, emu::Fault::CorruptByte(5119)); },
       "pos 150 | step write disk image | pos 180 | box ERROR: Verify image error. [10] | bar hidden | update enabled"},
      {"status Writing disk image file...",
       [&](emu::Bridge& b) { b.Faults().OnOpcode(0xE6, fails), b.Faults().OnSpiOpcode(0x02, fails); },
       "box ERROR: Write disk image file error. [10] | bar hidden | update enabled"},
      {"status Writing disk image file...",
       [&](emu::Bridge& b) { b.Faults().OnOpcode(0xE5, fails), b.Faults().OnSpiOpcode(0x03, fails); },
       "pos 150 | step write disk image | box ERROR: Read disk image error. [10] | bar hidden | update enabled"},
      {"pos 195", [&](emu::Bridge& b) { b.Faults().OnSpiOpcode(0x01, fails); },
       "status Not support. | step restore protection not done | pos 200 | status Success. | box Message: Success!! | bar hidden | update enabled"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    UpdaterMachine m;
    emu::Bridge& bridge = m.OldBridge();
    m.WriteFirmware("fw.eep");
    ASSERT_TRUE(m.StartUp());
    m.view_.onEvent = [&](const std::string& event) {
      if (event == c.at) c.plant(bridge);
    };
    m.FireTimers();
    EXPECT_EQ(m.view_.Joined(c.at), c.after);
    m.ExpectHandedBack();
  }
}

// Neither firmware that failed to load nor a code image longer than the code
// area is ever written: the update is refused before anything is sent.
TEST_F(UpdaterTest, UpdateWithNothingUsableToWriteIsRefused) {
  emu::Bridge& bridge = OldBridge();
  dlg_.OnUpdateClicked();
  EXPECT_EQ(view_.LastBox(), "ERROR: No firmware is loaded.\nPlease load a BIN or EEP file before updating. [10]");
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::FileNotLoaded);

  WriteFile(u"long.bin", Pattern(CodeAreaSize + 100, 1));  // loaded by other means than the dialog
  std::u16string details;
  ASSERT_TRUE(Images().LoadBinFile(kExeDir + u"long.bin", details));
  dlg_.m_imageLoaded = 1;
  dlg_.OnUpdateClicked();
  EXPECT_EQ(view_.LastBox(), "ERROR: The code image is 8292 bytes long; the code area holds at most 8192 bytes. [10]");
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
  EXPECT_FALSE(dlg_.UpdateRunning());
  EXPECT_EQ(view_.Last("update "), "enabled");
}

TEST_F(UpdaterTest, WhileAnUpdateRunsUpdateAndCloseAreRefusedAndLoadsDoNotReachIt) {
  emu::Bridge& bridge = OldBridge();
  WriteFirmware("fw.bin");
  WriteFile(u"other.bin", Pattern(2000, 0x99));
  ASSERT_TRUE(StartUp());
  view_.onEvent = [this](const std::string& event) {
    if (event != "status Erasing chip...") return;
    ASSERT_TRUE(dlg_.UpdateRunning());
    dlg_.m_cmpStr = u"01000006";
    dlg_.OnUpdateClicked();  // starts nothing, and does not come to the gates
    dlg_.m_cmpStr = u"01000005";
    dlg_.OnExitClicked();  // refused
    EXPECT_EQ(view_.LastBox(), "Warning: An update is running.\nPlease wait until it has finished. [30]");
    view_.filePathBox = kExeDir + u"other.bin";
    dlg_.OnFilePathKillFocus();  // loads into the store, not into the running update
  };
  FireTimers();
  view_.onEvent = nullptr;
  EXPECT_EQ(view_.LastBox(), kSuccess);
  EXPECT_FALSE(view_.Ended());
  EXPECT_EQ(std::ranges::count(view_.events, "range 100"), 1);
  EXPECT_EQ(std::ranges::count_if(view_.events, [](auto& e) { return e.starts_with("box "); }), 3);
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, kBinCode.size()), kBinCode);
  EXPECT_EQ(Images().codeLength, 2000u);
  ExpectHandedBack();

  // Once it has ended, Update writes what is loaded now, and the dialog closes.
  dlg_.OnUpdateClicked();
  dlg_.WaitForUpdate();
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, 2000), Pattern(2000, 0x99));
  dlg_.OnExitClicked();
  EXPECT_TRUE(view_.Ended());
}

// One whole ".eep" update with its disk image for every command of it, with
// that command failing, or (a read) delivering a byte less than asked, under
// either way of handling a sector tail: each run ends with its step's message
// and the status of the last step reached, or with success and the new
// firmware in place.
TEST(UpdateFailureTest, AFailureAtEveryCommandOfTheUpdateEndsCleanly) {
  const std::map<std::string, std::string> statusAt = {
      {"ERROR: Erase chip failed. [10]", "Erasing chip..."},
      {"ERROR: Write data failed. [10]", "Erasing chip..."},
      {"ERROR: Read data failed. [10]", "Verifying write data..."},
  };
  std::set<std::string> failures;
  for (const emu::Fault fault : {emu::Fault::CallFails(), emu::Fault::ShortData(1)}) {
    for (const emu::SectorTail tail : {emu::SectorTail::Moved, emu::SectorTail::Dropped}) {
      for (std::uint64_t n = 1; !::testing::Test::HasFailure(); ++n) {
        UpdaterMachine m;
        emu::Bridge& bridge = m.OldBridge(DefaultBridge().Tail(tail));
        m.WriteFirmware("fw.eep");
        ASSERT_TRUE(m.StartUp());
        const std::uint64_t failAt = bridge.CommandsReceived() + n;
        SCOPED_TRACE(::testing::Message() << "command " << failAt << " fails as " << int(fault.kind) << ", tail "
                                          << int(tail));
        bridge.Faults().OnCommand(failAt, fault);
        m.FireTimers();
        if (bridge.CommandsReceived() < failAt) break;  // past the update's last command
        const std::string box = m.view_.LastBox();
        if (box == kSuccess) {  // only a step whose failure the sequence tolerates failed
          EXPECT_EQ(m.FlashOf(bridge, 0, ConfigImageSize), kEepConfig);
          EXPECT_EQ(m.FlashOf(bridge, ConfigImageSize, kEepCode.size()), kEepCode);
          EXPECT_EQ(m.FlashOf(bridge, kDiskAddress, kEepDisk.size()), kEepDisk);
        } else {
          failures.insert(box);
          EXPECT_EQ(m.view_.Last("status "), statusAt.contains(box) ? statusAt.at(box) : "not an update failure");
          EXPECT_EQ(m.dlg_.Outcome(), UpdaterOutcome::UpdateFailed);
        }
        m.ExpectHandedBack();
      }
    }
  }
  EXPECT_EQ(failures.size(), statusAt.size());
}

}  // namespace
}  // namespace vx::testing
