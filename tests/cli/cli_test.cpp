// Whole runs of the real command-line program on the emulated bridge: the
// updater's flow, the commands, the state file, the trace, the exit codes and
// interrupts.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "tests/cli/program_run.h"

namespace vx::testing {
namespace {

const std::string kExamples = std::string(VX_SOURCE_DIR) + "/examples";

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

const std::string kExampleFirmware = ReadFile(kExamples + "/VX94C6_example.eep");

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(CliTest, HelpDocumentsCommandsOptionsAndExitCodes) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"--help"});
  EXPECT_EQ(result.exitCode, 0);
  for (const char* part : {"list", "read FILE", "config", "--simulate[=STATE]", "--sim-flash", "--trace[=FILE]",
                           "--yes", "--config PATH", "Exit codes:", "130"}) {
    EXPECT_NE(result.out.find(part), std::string::npos) << part;
  }
}

TEST(CliTest, ExampleSettingsUpdateTheSimulatedBridge) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"--simulate", "--yes", "--config", kExamples + "/Config.ini"});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("Progress: 200/200\n"), std::string::npos);
  EXPECT_TRUE(EndsWith(result.out, "Message: Success!!\n")) << result.out;
}

TEST(CliTest, StateFileKeepsTheBridgeBetweenRunsAndReadSavesBackups) {
  const ScratchDir dir;
  const std::vector<std::string> update = {"--simulate=bridge.state", "--yes", "--config",
                                           kExamples + "/Config.ini"};
  ASSERT_EQ(RunUpdater(dir, update).exitCode, 0);

  const ProgramResult backup = RunUpdater(dir, {"--simulate=bridge.state", "read", "backup.bin"});
  ASSERT_EQ(backup.exitCode, 0) << backup.err;
  const std::string saved = dir.Read("backup.bin");
  ASSERT_EQ(saved.size(), 8704u);
  EXPECT_EQ(saved.substr(0, 512), kExampleFirmware.substr(0, 512));
  EXPECT_EQ(saved.substr(512, 6144), kExampleFirmware.substr(536, 6144));

  ASSERT_EQ(
      RunUpdater(dir, {"read", "--simulate=bridge.state", "disk.bin", "--address", "0x2800", "--length", "4096"})
          .exitCode,
      0);
  EXPECT_EQ(dir.Read("disk.bin"), kExampleFirmware.substr(10240));

  // The second run finds the code the first one wrote.
  const ProgramResult again = RunUpdater(dir, update);
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out.find("Checksum of the code on the bridge: 0000"), std::string::npos) << again.out;
}

TEST(CliTest, SimImageIsTheFlashOnFirstUse) {
  const ScratchDir dir;
  std::string image(1000, '\0');
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 3 + 1);
  dir.Write("image.bin", image);
  ASSERT_EQ(RunUpdater(dir, {"--simulate=b.state", "--sim-image", "image.bin", "read", "out.bin", "--length", "1000"})
                .exitCode,
            0);
  EXPECT_EQ(dir.Read("out.bin"), image);
}

TEST(CliTest, ListShowsTheEmulatedBridge) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"list", "--simulate", "--sim-flash", "9F=EF4018,90=EF17"});
  EXPECT_EQ(result.exitCode, 0);
  for (const char* part : {"Bridge in slot 0", "vendor 1B7E, product 94C6", "Firmware version: 01000005",
                           "Mode:             3 (SPI flash)", "Flash chip:       row 46, ID EF4018",
                           "Hub / port:       1 / 1", "Drive letters:    E:"}) {
    EXPECT_NE(result.out.find(part), std::string::npos) << part << "\n" << result.out;
  }
}

TEST(CliTest, TraceHasOneLinePerRequestInTheDocumentedForm) {
  const ScratchDir dir;
  const ProgramResult result =
      RunUpdater(dir, {"--simulate", "--yes", "--config", kExamples + "/Config.ini", "--trace=trace.txt"});
  ASSERT_EQ(result.exitCode, 0);

  const std::regex scsi(R"(SCSI (in|out) \d+ ((?:[0-9A-F]{2} )*[0-9A-F]{2}) -> (ok|fail))");
  const std::regex usb(R"(USB [0-9A-F]{2} [0-9A-F]{2} [0-9A-F]{4} [0-9A-F]{4} \d+ -> (ok|fail))");
  std::istringstream lines(dir.Read("trace.txt"));
  std::string line;
  int scsiIn = 0, scsiOut = 0, usbLines = 0;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (std::regex_match(line, match, scsi)) {
      const std::size_t cdbBytes = (match[2].length() + 1) / 3;
      EXPECT_TRUE(cdbBytes == 6 || cdbBytes == 10 || cdbBytes == 16) << line;
      (match[1] == "in" ? scsiIn : scsiOut)++;
    } else {
      EXPECT_TRUE(std::regex_match(line, usb)) << line;
      ++usbLines;
    }
  }
  EXPECT_GT(scsiIn, 0);
  EXPECT_GT(scsiOut, 0);
  EXPECT_GT(usbLines, 0);
  // The chip information is the first request of the search.
  EXPECT_EQ(dir.Read("trace.txt").rfind("SCSI in 16 D0 00 00 00 1B 7E -> ok\n", 0), 0u);
}

TEST(CliTest, TraceWithoutFileGoesToStandardError) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"--simulate", "--trace", "list"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err.rfind("SCSI in 16 D0 00 00 00 1B 7E -> ok\n", 0), 0u) << result.err;
}

struct UsageCase {
  std::vector<std::string> args;
  std::string message;
};

class CliUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageTest, WrongCommandLineExitsWith2) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, GetParam().args);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliUsageTest,
    ::testing::Values(UsageCase{{"--bogus"}, "unknown option '--bogus'"},
                      UsageCase{{"read"}, "read needs the name of the file to write"},
                      UsageCase{{"--address", "0x10"}, "apply to the read command only"},
                      UsageCase{{"read", "f", "--length", "12abc"}, "needs a decimal or 0x-prefixed"},
                      UsageCase{{"read", "f", "--address", "0xFFFFFF", "--length", "2"}, "16 MiB"},
                      UsageCase{{"--sim-flash", "EF4018"}, "apply with --simulate only"},
                      UsageCase{{"--simulate", "--sim-flash", "EF4018,90=EF17"}, "each needs its opcode"}));

struct ExitCase {
  const char* name;
  std::vector<std::string> args;  // run in a folder with Config.ini, fw.eep and big.eep
  std::string settings;           // empty: settings naming fw.eep, without gates
  int exitCode;
  std::string output;  // on standard output or standard error
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class CliExitCodeTest : public ::testing::TestWithParam<ExitCase> {};

TEST_P(CliExitCodeTest, EachClassOfOutcomeHasItsCode) {
  const ExitCase& c = GetParam();
  const ScratchDir dir;
  dir.Write("fw.eep", kExampleFirmware);
  // A disk image that does not fit the emulated flash (512 KiB).
  dir.Write("big.eep", kExampleFirmware.substr(0, 10240) + std::string(520 * 1024, '\x5A'));
  dir.Write("Config.ini", c.settings.empty() ? "[Hex_FileName]\nHEXNAME=fw.eep\n[Cmp_Ver]\nCMPLEN=0\n" : c.settings);
  std::vector<std::string> args = c.args;
  args.insert(args.end(), {"--config", dir / "Config.ini"});

  const ProgramResult result = RunUpdater(dir, args);
  EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
  EXPECT_NE((result.out + result.err).find(c.output), std::string::npos) << result.out << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliExitCodeTest,
    ::testing::Values(
        ExitCase{"Updated", {"--simulate", "--yes"}, "", 0, "Message: Success!!"},
        ExitCase{"NotConfirmedWithoutTerminal", {"--simulate"}, "", 7, "not confirmed (--yes confirms)"},
        ExitCase{"SettingsRefused", {"--simulate", "--yes"}, "[Configuration]\nDevCount=4\n", 3,
                 "Error: Failed to get configuration information."},
        ExitCase{"FirmwareMissing", {"--simulate", "--yes"}, "[Hex_FileName]\nHEXNAME=none.bin\n", 6,
                 "Error: Load FW error!!!"},
        ExitCase{"VersionGate", {"--simulate", "--yes"},
                 "[Hex_FileName]\nHEXNAME=fw.eep\n[Cmp_Ver]\nCMPLEN=8\nCMPSTR=01000006\n", 8,
                 "Message: FW version are not the same."},
        ExitCase{"UnidentifiedFlashCannotBeRead", {"--simulate", "--yes", "--sim-flash", "A14014"}, "", 5,
                 "Read device fail: Read device content error"},
        ExitCase{"UpdateStepFails", {"--simulate", "--yes"}, "[Hex_FileName]\nHEXNAME=big.eep\n[Cmp_Ver]\nCMPLEN=0\n",
                 9, "ERROR: Verify image error."},
        ExitCase{"NoBridgeWithoutSimulation", {"--yes"}, "", 4, "No bridge found"}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return info.param.name; });

TEST(CliTest, ConfigShowsTheSettingsOfANamedFileThatMustExist) {
  const ScratchDir dir;
  dir.Write("Config.ini", "[Hex_FileName]\nHEXNAME=fw.bin\n[Cmp_Ver]\nCMPLEN=4\nCMPSTR=0100\nCHECKSUM=12ab\n");
  const ProgramResult shown = RunUpdater(dir, {"config", "--config", dir / "Config.ini"});
  EXPECT_EQ(shown.exitCode, 0);
  for (const std::string& part : {"Firmware file: " + (dir / "fw.bin"), std::string("CMPSTR \"0100\""),
                                 std::string("checksum 12AB")}) {
    EXPECT_NE(shown.out.find(part), std::string::npos) << part << "\n" << shown.out;
  }
  const ProgramResult missing = RunUpdater(dir, {"--simulate", "--config", dir / "missing.ini"});
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
}

TEST(CliTest, InterruptBeforeTheUpdateEndsTheProgram) {
  const ScratchDir dir;
  const ProgramResult result = InterruptOnTerminal(
      dir, {"--simulate=b.state", "--config", kExamples + "/Config.ini"}, "Continue? [y/N]");
  EXPECT_EQ(result.exitCode, 130) << result.out;
  EXPECT_NE(result.out.find("Interrupted; nothing was written to the bridge."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "b.state"));
}

TEST(CliTest, InterruptDuringTheUpdateLetsItFinish) {
  const ScratchDir dir;
  // The first write enable belongs to the update.
  const TracedRun run = InterruptAtTraceLine(
      dir, {"--simulate", "--yes", "--config", kExamples + "/Config.ini"}, "SCSI out 0 E7 01 00 00 1B 7E 00 00 06");
  ASSERT_TRUE(run.interrupted);
  EXPECT_EQ(run.program.exitCode, 0);
  EXPECT_NE(run.program.err.find("The update must finish"), std::string::npos) << run.program.err;
  EXPECT_TRUE(EndsWith(run.program.out, "Message: Success!!\n")) << run.program.out;
}

}  // namespace
}  // namespace vx::testing
