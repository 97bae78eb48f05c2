// The update thread: the steps it shows, what it leaves in the flash, how
// every failure ends, and how the dialog behaves while it runs.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/update_error.h"
#include "tests/app/updater_fixture.h"

namespace vx {
namespace {

using testing::Bytes;
using testing::DefaultBridge;
using testing::MakeEep;
using testing::Pattern;
using testing::SettingsFor;

constexpr std::uint32_t kDiskAddress = 0x2800;

const Bytes kDeviceConfig = Pattern(ConfigImageSize, 0x11);
const Bytes kBinCode = Pattern(3000, 0x33);
const Bytes kEepConfig = Pattern(ConfigImageSize, 0x44);
const Bytes kEepCode = Pattern(6000, 0x55);
const Bytes kEepDisk = Pattern(5000, 0x66);

class UpdateSequenceTest : public testing::UpdaterFixture {
 protected:
  // A bridge holding its own configuration image and old code.
  emu::Bridge& OldBridge(const platform::sim::SimBridgeSpec& spec = DefaultBridge()) {
    emu::Bridge& bridge = AddBridge(spec);
    Program(bridge, 0, kDeviceConfig);
    Program(bridge, ConfigImageSize, Pattern(CodeAreaSize, 0x22));
    return bridge;
  }
  void UseBin() {
    WriteSettings(SettingsFor("fw.bin"));
    WriteFile(u"fw.bin", kBinCode);
  }
  void UseEep(const Bytes& disk = kEepDisk) {
    WriteSettings(SettingsFor("fw.eep"));
    WriteFile(u"fw.eep", MakeEep(kEepConfig, kEepCode, disk));
  }
  // What the update thread showed: everything after the auto-start tick.
  std::vector<std::string> UpdateEvents() const {
    const auto events = view_.Events();
    const auto start = std::find(events.begin(), events.end(), "stop timer 8888");
    return start == events.end() ? std::vector<std::string>{} : std::vector<std::string>(start + 1, events.end());
  }
  // Loaded firmware set up by hand, for an update started with the button.
  void LoadByHand() {
    const Bytes code = Pattern(CodeAreaSize, 0x77);
    Images().SetCodeImage(code.data());
    dlg_.m_imageLoaded = 1;
  }
};

TEST_F(UpdateSequenceTest, BinUpdateShowsEveryStepAndWritesTheBridgesOwnConfiguration) {
  emu::Bridge& bridge = OldBridge();
  UseBin();
  Run();

  EXPECT_EQ(UpdateEvents(), (std::vector<std::string>{
                                "update disabled", "range 100", "pos 0", "bar shown", "pos 10", "status Success.",
                                "status Erasing chip...", "pos 15", "pos 30", "pos 60",
                                "status Verifying write data...", "pos 90", "pos 95", "status Success.", "pos 100",
                                "status Success.", "box Message: Success!!", "bar hidden", "update enabled"}));
  EXPECT_EQ(FlashOf(bridge, 0, ConfigImageSize), kDeviceConfig);
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, kBinCode.size()), kBinCode);
  // The rest of the code area is erased.
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize + kBinCode.size(), 100), Bytes(100, 0xFF));
  ExpectHandedBack();
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::Updated);
}

TEST_F(UpdateSequenceTest, EepUpdateWithDiskImageRunsTo200) {
  emu::Bridge& bridge = OldBridge();
  UseEep();
  Run();

  EXPECT_EQ(UpdateEvents(),
            (std::vector<std::string>{
                "update disabled", "range 200", "pos 0", "bar shown", "pos 10", "status Success.",
                "status Erasing chip...", "pos 15", "pos 30", "pos 60", "status Verifying write data...", "pos 90",
                "pos 100", "status Writing disk image file...", "pos 150", "pos 180", "pos 195", "status Success.",
                "pos 200", "status Success.", "box Message: Success!!", "bar hidden", "update enabled"}));
  EXPECT_EQ(FlashOf(bridge, 0, ConfigImageSize), kEepConfig);
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, kEepCode.size()), kEepCode);
  EXPECT_EQ(FlashOf(bridge, kDiskAddress, kEepDisk.size()), kEepDisk);
  ExpectHandedBack();
}

TEST_F(UpdateSequenceTest, EepWithoutCodeWritesTheConfigurationAlone) {
  emu::Bridge& bridge = OldBridge();
  WriteSettings(SettingsFor("fw.eep"));
  WriteFile(u"fw.eep", MakeEep(kEepConfig, {}));
  Run();

  EXPECT_EQ(view_.LastBox(), "Message: Success!!");
  EXPECT_EQ(FlashOf(bridge, 0, ConfigImageSize), kEepConfig);
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, CodeAreaSize), Bytes(CodeAreaSize, 0xFF));
}

TEST_F(UpdateSequenceTest, UnidentifiedFlashSkipsProtectionAndFailsAtTheErase) {
  emu::Bridge& bridge = AddBridge(DefaultBridge().Part(emu::PartNamed(emu::kUnknownMakerPart)));
  const Bytes before = FlashOf(bridge, 0, 0x4000);
  LoadByHand();

  dlg_.OnUpdateClicked();
  dlg_.WaitForUpdate();
  EXPECT_EQ(view_.Events(), (std::vector<std::string>{"update disabled", "range 100", "pos 0", "bar shown", "pos 10",
                                                      "status Erasing chip...", "pos 15",
                                                      "box ERROR: Erase chip failed.", "bar hidden",
                                                      "update enabled"}));
  EXPECT_EQ(FlashOf(bridge, 0, 0x4000), before);
  ExpectHandedBack();
}

TEST_F(UpdateSequenceTest, NoBridgeAtUpdateTime) {
  LoadByHand();
  dlg_.OnUpdateClicked();
  dlg_.WaitForUpdate();
  EXPECT_EQ(view_.Events(), (std::vector<std::string>{
                                "update disabled", "range 100", "pos 0", "bar shown", "pos 10",
                                "box ERROR: Can't Find the device!\nPlease Check the device.", "bar hidden",
                                "update enabled"}));
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::UpdateFailed);
  ExpectHandedBack();
}

// The disk image has a second way in and out through the flash commands.
class DiskFallbackTest : public UpdateSequenceTest, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(DiskFallbackTest, RefusedDiskCommandFallsBackToTheFlashCommands) {
  emu::Bridge& bridge = OldBridge();
  UseEep();
  bridge.Faults().OnOpcode(GetParam(), emu::Fault::CallFails());
  Run();
  EXPECT_EQ(view_.LastBox(), "Message: Success!!");
  EXPECT_EQ(FlashOf(bridge, kDiskAddress, kEepDisk.size()), kEepDisk);
}

INSTANTIATE_TEST_SUITE_P(WriteAndRead, DiskFallbackTest, ::testing::Values(0xE6, 0xE5));

struct SilentFault {
  const char* name;
  bool spi;  // the opcode is an SPI opcode, otherwise a vendor command
  std::uint8_t opcode;
  std::string box;
};

void PrintTo(const SilentFault& c, std::ostream* os) { *os << c.name; }

class SilentFaultTest : public UpdateSequenceTest, public ::testing::WithParamInterface<SilentFault> {};

// A write the bridge acknowledges without carrying it out is caught by the
// comparison.
TEST_P(SilentFaultTest, ComparisonCatchesIt) {
  emu::Bridge& bridge = OldBridge();
  UseEep();
  const SilentFault& c = GetParam();
  if (c.spi) {
    bridge.Faults().OnSpiOpcode(c.opcode, emu::Fault::IgnoreWrite(), 1);
  } else {
    bridge.Faults().OnOpcode(c.opcode, emu::Fault::IgnoreWrite(), 1);
  }
  Run();
  EXPECT_EQ(view_.LastBox(), c.box);
  EXPECT_EQ(std::ranges::count(view_.Boxes(), "Message: Success!!"), 0);
  ExpectHandedBack();
}

INSTANTIATE_TEST_SUITE_P(Cases, SilentFaultTest,
                         ::testing::Values(SilentFault{"PageProgram", true, 0x02, "ERROR: Verify data failed."},
                                           SilentFault{"DiskSectors", false, 0xE6, "ERROR: Verify image error."}),
                         [](const ::testing::TestParamInfo<SilentFault>& info) { return info.param.name; });

// Neither firmware that failed to load nor a code image longer than the code
// area is ever written: the update is refused before anything is sent.
TEST_F(UpdateSequenceTest, UpdateWithNothingUsableToWriteIsRefused) {
  emu::Bridge& bridge = OldBridge();
  dlg_.OnUpdateClicked();
  EXPECT_EQ(view_.LastBox(), "ERROR: No firmware is loaded.\nPlease load a BIN or EEP file before updating.");
  EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::FileNotLoaded);

  WriteFile(u"long.bin", Pattern(CodeAreaSize + 100, 1));  // loaded by other means than the dialog
  std::u16string details;
  ASSERT_TRUE(Images().LoadBinFile(u"C:\\Updater\\long.bin", details));
  dlg_.m_imageLoaded = 1;
  dlg_.OnUpdateClicked();
  EXPECT_EQ(view_.LastBox(), "ERROR: The code image is 8292 bytes long; the code area holds at most 8192 bytes.");
  EXPECT_EQ(bridge.CommandsReceived(), 0u);
  EXPECT_FALSE(dlg_.UpdateRunning());
  EXPECT_TRUE(view_.UpdateEnabled());
}

TEST_F(UpdateSequenceTest, WhileAnUpdateRunsUpdateAndCloseAreRefusedAndLoadsDoNotReachIt) {
  emu::Bridge& bridge = OldBridge();
  UseBin();
  WriteFile(u"other.bin", Pattern(2000, 0x99));
  ASSERT_TRUE(StartUp());
  view_.PauseOn("status Erasing chip...");
  dlg_.OnTimer(IDT_AUTO_START);
  view_.WaitUntilPaused();
  ASSERT_TRUE(dlg_.UpdateRunning());

  dlg_.OnUpdateClicked();  // starts nothing
  dlg_.OnExitClicked();    // refused
  EXPECT_EQ(view_.LastBox(), "Warning: An update is running.\nPlease wait until it has finished.");
  EXPECT_FALSE(view_.Ended());
  view_.TypeFilePath(u"C:\\Updater\\other.bin");
  dlg_.OnFilePathKillFocus();  // loads into the store, not into the running update
  EXPECT_EQ(Images().codeLength, 2000u);

  view_.Resume();
  dlg_.WaitForUpdate();
  EXPECT_EQ(view_.LastBox(), "Message: Success!!");
  EXPECT_EQ(std::ranges::count(view_.Events(), "range 100"), 1);
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, kBinCode.size()), kBinCode);
  ExpectHandedBack();

  // Once it has ended, Update writes what is loaded now, and the dialog closes.
  dlg_.OnUpdateClicked();
  dlg_.WaitForUpdate();
  EXPECT_EQ(FlashOf(bridge, ConfigImageSize, 2000), Pattern(2000, 0x99));
  dlg_.OnExitClicked();
  EXPECT_TRUE(view_.Ended());
}

// The status line keeps the text of the last step reached when a failure
// ends the update.
std::string StatusAtFailure(const std::string& box) {
  const std::pair<const char*, const char*> steps[] = {
      {"ERROR: Can't Find the device!\nPlease Check the device.", "Updating now, please don't remove device!"},
      {"ERROR: Erase chip failed.", "Erasing chip..."},
      {"ERROR: Write data failed.", "Erasing chip..."},
      {"ERROR: Read data failed.", "Verifying write data..."},
      {"ERROR: Verify data failed.", "Verifying write data..."},
      {"ERROR: Write disk image file error.", "Writing disk image file..."},
      {"ERROR: Read disk image error.", "Writing disk image file..."},
      {"ERROR: Verify image error.", "Writing disk image file..."},
  };
  for (const auto& [message, status] : steps) {
    if (box == message) return status;
  }
  return "not an update failure: " + box;
}

// One whole ".eep" update with its disk image, in which the command at
// `failAt` (counted from the bridge's first command) fails on its way.
class FailingCommandRun : public testing::UpdaterFixture {
 public:
  explicit FailingCommandRun(std::uint64_t failAt) {
    bridge_ = &AddBridge();
    Program(*bridge_, 0, kDeviceConfig);
    WriteSettings(SettingsFor("fw.eep"));
    WriteFile(u"fw.eep", MakeEep(kEepConfig, kEepCode, kEepDisk));
    if (failAt != 0) bridge_->Faults().OnCommand(failAt, emu::Fault::CallFails());
  }
  void TestBody() override {}

  void Check(std::uint64_t failAt) {
    SCOPED_TRACE("command " + std::to_string(failAt) + " fails");
    ASSERT_TRUE(StartUp());
    FireTimers();
    const std::string box = view_.LastBox();
    if (box == "Message: Success!!") {
      // Only steps whose failure the sequence tolerates may fail on the way
      // to a success, and the flash must then hold the new firmware.
      EXPECT_EQ(FlashOf(*bridge_, 0, ConfigImageSize), kEepConfig);
      EXPECT_EQ(FlashOf(*bridge_, ConfigImageSize, kEepCode.size()), kEepCode);
      EXPECT_EQ(FlashOf(*bridge_, kDiskAddress, kEepDisk.size()), kEepDisk);
    } else {
      EXPECT_EQ(view_.Status(), StatusAtFailure(box));
      EXPECT_EQ(dlg_.Outcome(), UpdaterOutcome::UpdateFailed);
    }
    ExpectHandedBack();
  }
  // The numbers of the update's first and last commands, in a run without
  // failure.
  std::pair<std::uint64_t, std::uint64_t> UpdateCommands() {
    StartUp();
    const std::uint64_t startUp = bridge_->CommandsReceived();
    FireTimers();
    return {startUp + 1, bridge_->CommandsReceived()};
  }

 private:
  emu::Bridge* bridge_ = nullptr;
};

TEST(UpdateFailureTest, AFailureAtEveryCommandOfTheUpdateEndsCleanly) {
  const auto [first, last] = FailingCommandRun(0).UpdateCommands();
  ASSERT_GT(last, first);
  for (std::uint64_t failAt = first; failAt <= last; ++failAt) {
    FailingCommandRun run(failAt);
    run.Check(failAt);
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace vx
