// Whole runs of the real command-line program on the emulated bridge: the
// updater's flow, the commands, the state file, the trace, the exit codes and
// interrupts.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/program_run.h"

namespace vx::testing {
namespace {

const std::string kExampleConfig = std::string(VX_SOURCE_DIR) + "/examples/Config.ini";
const std::string kExampleFirmware = ReadFile(std::string(VX_SOURCE_DIR) + "/examples/VX94C6_example.eep");
const std::string kChipInfoLine = "SCSI in 16 D0 00 00 00 1B 7E -> ok\n";

void ExpectAll(const std::string& text, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

TEST(CliTest, HelpDocumentsCommandsOptionsAndExitCodes) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"--help"});
  EXPECT_EQ(result.exitCode, 0);
  ExpectAll(result.out, {"list", "read FILE", "config", "--simulate[=STATE]", "--sim-flash", "--trace[=FILE]", "--yes",
                         "--config PATH", "--json", "--verbose", "Exit codes", "130",
                         "/etc/vx94c6-updater/Config.ini", "Platforms:", "Message: Success!!"});
}

// The example settings update the emulated bridge; its state file keeps what
// was written, and the protection restored at the end, for a read afterwards
// and for the next run, which lifts that protection again. (What an update
// leaves in the flash is the app tests' business.)
TEST(CliTest, ExampleUpdateTracesEveryRequestAndKeepsTheBridgeInItsStateFile) {
  const ScratchDir dir;
  const std::vector<std::string> update = {"--simulate=bridge.state", "--yes", "--config", kExampleConfig,
                                           "--trace=trace.txt"};
  const ProgramResult result = RunUpdater(dir, update);
  ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Progress: 200/200\n"), std::string::npos);
  // The protection step's bare "Success." is followed by what it was.
  EXPECT_NE(result.out.find("Status: Success.\nDone: write protection lifted.\nStatus: Erasing chip...\n"),
            std::string::npos);
  EXPECT_TRUE(result.out.ends_with("Message: Success!!\n")) << result.out;
  const std::string state = dir.Read("bridge.state");
  EXPECT_EQ(state.size(), 512 * 1024 + 8u);
  EXPECT_TRUE(state.ends_with(std::string("VXSR\x01\x02\x1C\x00", 8)));

  const std::string trace = dir.Read("trace.txt");
  EXPECT_TRUE(trace.starts_with(kChipInfoLine));  // the search asks for the chip information first
  for (const char* kind : {"\nSCSI in ", "\nSCSI out ", "\nUSB "}) EXPECT_NE(trace.find(kind), std::string::npos);
  const std::vector<std::string> readDisk = {
      "read", "--simulate=bridge.state", "disk.bin", "--address", "0x2800", "--length", "4096"};
  ASSERT_EQ(RunUpdater(dir, readDisk).exitCode, 0);
  EXPECT_EQ(dir.Read("disk.bin"), kExampleFirmware.substr(10240));

  const ProgramResult again = RunUpdater(dir, update);  // finds the code the first run wrote
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out.find("Checksum of the code on the bridge: 0000"), std::string::npos) << again.out;
}

TEST(CliTest, SimImageIsTheFlashOnFirstUse) {
  const ScratchDir dir;
  const std::string image = kExampleFirmware.substr(0, 1000);
  dir.Write("image.bin", image);
  const std::vector<std::string> args = {"--simulate=b.state", "--sim-image", "image.bin", "read", "out.bin",
                                         "--length",           "1000"};
  ASSERT_EQ(RunUpdater(dir, args).exitCode, 0);
  EXPECT_EQ(dir.Read("out.bin"), image);
}

// The emulated flash (ID EF3013) holds 512 KiB; a read that runs past its end
// would wrap around to address 0, so it is refused and nothing is written.
TEST(CliTest, ReadStopsAtTheFlashEnd) {
  const struct {
    const char* address;
    const char* length;
    int exitCode;
  } cases[] = {
      {"0x7FE00", "512", 0},
      {"0x7FE00", "513", 2},
      {"0x80000", "1", 2},
      {"0", "524288", 0},
      {"0", "524289", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.address) + " + " + c.length);
    const ScratchDir dir;
    const ProgramResult result =
        RunUpdater(dir, {"read", "out.bin", "--simulate", "--address", c.address, "--length", c.length});
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    if (c.exitCode == 0) continue;
    EXPECT_NE(result.err.find("runs past the end of the bridge's flash; nothing was read."), std::string::npos)
        << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.bin"));
  }
}

TEST(CliTest, ListShowsTheEmulatedBridgeAndTracesToStandardError) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"list", "--simulate", "--trace", "--sim-flash", "9F=EF4018,90=EF17"});
  EXPECT_EQ(result.exitCode, 0);
  ExpectAll(result.out, {"Bridge in slot 0", "vendor 1B7E, product 94C6", "Firmware version: 01000005",
                         "Mode:             3 (SPI flash)", "Flash chip:       row 46, ID EF4018",
                         "Hub / port:       1 / 1", "Drive letters:    E:"});
  EXPECT_TRUE(result.err.starts_with(kChipInfoLine)) << result.err;
}

// --verbose names the cause of a failure on standard error, one line each;
// the messages and the trace file stay as they are without it.
TEST(CliTest, VerboseNamesTheCauseOfAFailureOnStandardError) {
  const std::string cause = "check condition, sense key 5 (illegal request), ASC 21 ASCQ 00";
  for (const bool verbose : {false, true}) {
    SCOPED_TRACE(verbose);
    const ScratchDir dir;
    // A disk image that does not fit a 128 KiB part whose identification
    // does not tell its size: the bridge refuses the probe of its last block.
    dir.Write("big.eep", kExampleFirmware.substr(0, 10240) + std::string(520 * 1024, '\x5A'));
    dir.Write("Config.ini", "[Hex_FileName]\nHEXNAME=big.eep\n[Cmp_Ver]\nCMPLEN=0\n");
    std::vector<std::string> args = {"--simulate", "--sim-flash", "15=1F60", "--yes", "--config", dir / "Config.ini",
                                     "--trace=trace.txt"};
    if (verbose) args.push_back("--verbose");
    const ProgramResult result = RunUpdater(dir, args);
    EXPECT_EQ(result.exitCode, 9);
    EXPECT_NE(result.out.find("ERROR: The disk image does not fit the flash of this bridge."), std::string::npos)
        << result.out;
    EXPECT_EQ(result.err.find(cause) != std::string::npos, verbose) << result.err;
    const std::string trace = dir.Read("trace.txt");
    EXPECT_EQ(trace.find("check condition"), std::string::npos);
    EXPECT_NE(trace.find(" -> fail\n"), std::string::npos);
  }
}

TEST(CliTest, WrongCommandLineExitsWith2) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"lst"}, "unknown command 'lst'"},
      {{"read", "a", "b"}, "unexpected argument 'b'"},
      {{"--simulate", "list", "config"}, "unexpected argument 'config'"},
      {{"--config"}, "--config"},
      {{"--config="}, "--config"},
      {{"--yes=1"}, "yes"},
      {{"read"}, "read needs the name of the file to write"},
      {{"--address", "0x10"}, "apply to the read command only"},
      {{"read", "f", "--length", "12abc"}, "needs a decimal or 0x-prefixed"},
      {{"read", "f", "--address", "0xFFFFFF", "--length", "2"}, "16 MiB"},
      {{"--sim-flash", "EF4018"}, "apply with --simulate only"},
      {{"--simulate", "--sim-flash", "EF4018,90=EF17"}, "each needs its opcode"},
      {{"read", "f", "--json"}, "--json applies to the update and the list command only"},
  };
  for (const auto& [args, message] : cases) {
    const ScratchDir dir;
    const ProgramResult result = RunUpdater(dir, args);
    EXPECT_EQ(result.exitCode, 2) << message;
    EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
  }
}

TEST(CliTest, EachClassOfOutcomeHasItsExitCode) {
  const std::string noGates = "[Hex_FileName]\nHEXNAME=fw.eep\n[Cmp_Ver]\nCMPLEN=0\n";
  const struct {
    std::vector<std::string> args;  // run in a folder with Config.ini, fw.eep and big.eep
    std::string settings;           // "": no settings file
    int exitCode;
    std::string output;  // on standard output or standard error
  } cases[] = {
      {{"--simulate", "--yes"}, noGates, 0, "Message: Success!!"},
      {{"--simulate"}, noGates, 7, "not confirmed (--yes confirms)"},  // no terminal to ask on
      {{"--simulate", "--yes"}, "[Configuration]\nDevCount=4\n", 3, "Error: Failed to get configuration information."},
      {{"--simulate", "--yes"}, "", 3, "does not exist"},
      {{"--simulate", "--yes"}, "[Hex_FileName]\nHEXNAME=none.bin\n", 6, "Error: Load FW error!!!"},
      {{"--simulate", "--yes"},
       "[Hex_FileName]\nHEXNAME=fw.eep\n[Cmp_Ver]\nCMPLEN=8\nCMPSTR=01000006\n",
       8,
       "Message: FW version are not the same.\n"
       "  Firmware version: 01000005, compared as \"01000005\" (CMPLEN 8) with CMPSTR \"01000006\"\n"
       "  Code checksum:    0000 on the bridge, not compared (CHECKSUM 0)\n"},
      // An unidentified flash cannot be read.
      {{"--simulate", "--yes", "--sim-flash", "A14014"}, noGates, 5, "Read device fail: Read device content error"},
      // A disk image that does not fit the emulated flash (512 KiB).
      {{"--simulate", "--yes"},
       "[Hex_FileName]\nHEXNAME=big.eep\n[Cmp_Ver]\nCMPLEN=0\n",
       9,
       "ERROR: The disk image does not fit the flash of this bridge.\n    Nothing was written."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    const ScratchDir dir;
    dir.Write("fw.eep", kExampleFirmware);
    dir.Write("big.eep", kExampleFirmware.substr(0, 10240) + std::string(520 * 1024, '\x5A'));
    if (!c.settings.empty()) dir.Write("Config.ini", c.settings);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--config", dir / "Config.ini"});
    const ProgramResult result = RunUpdater(dir, args);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_NE((result.out + result.err).find(c.output), std::string::npos) << result.out << result.err;
  }
}

TEST(CliTest, ConfigShowsTheEffectiveSettings) {
  const ScratchDir dir;
  dir.Write("Config.ini", "[Hex_FileName]\nHEXNAME=fw.bin\n[Cmp_Ver]\nCMPLEN=4\nCMPSTR=0100\nCHECKSUM=12ab\n");
  const ProgramResult shown = RunUpdater(dir, {"config", "--config", dir / "Config.ini"});
  EXPECT_EQ(shown.exitCode, 0);
  ExpectAll(shown.out, {"Firmware file: " + (dir / "fw.bin"), "CMPSTR \"0100\"", "checksum 12AB"});
}

TEST(CliTest, InterruptBeforeTheUpdateEndsTheProgramAndDuringItLetsItFinish) {
  const ScratchDir before;
  const ProgramResult asked =
      InterruptOnTerminal(before, {"--simulate=b.state", "--config", kExampleConfig}, "Continue? [y/N]");
  EXPECT_EQ(asked.exitCode, 130) << asked.out;
  EXPECT_NE(asked.out.find("Interrupted; nothing was written to the bridge."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(before / "b.state"));

  const ScratchDir during;
  ProgramResult updated;
  // The first write enable belongs to the update.
  ASSERT_TRUE(InterruptAtTraceLine(during, {"--simulate", "--yes", "--config", kExampleConfig},
                                   "SCSI out 0 E7 01 00 00 1B 7E 00 00 06", updated));
  EXPECT_EQ(updated.exitCode, 0);
  EXPECT_NE(updated.err.find("The update must finish"), std::string::npos) << updated.err;
  EXPECT_TRUE(updated.out.ends_with("Message: Success!!\n")) << updated.out;
}

}  // namespace
}  // namespace vx::testing
