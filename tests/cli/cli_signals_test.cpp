// Signals during an update: whatever ends a console program (a closed
// terminal or session, Ctrl+\, a reader of the trace that goes away) must not
// end an update that has begun to erase the bridge.
#include <gtest/gtest.h>

#include "tests/support/program_run.h"

namespace vx::testing {
namespace {

const std::string kExampleConfig = std::string(VX_SOURCE_DIR) + "/examples/Config.ini";
const std::string kExampleFirmware = ReadFile(std::string(VX_SOURCE_DIR) + "/examples/VX94C6_example.eep");
// The chip erase command (SPI C7) of the default emulated part.
const std::string kChipErase = "SCSI out 0 E7 01 00 00 1B 7E 00 00 C7";

// The configuration and code the example firmware puts at address 0.
std::string ExampleWriteBlock() {
  const std::string config = kExampleFirmware.substr(0, 512);
  const auto codeLength = static_cast<unsigned char>(kExampleFirmware[524]) |
                          static_cast<unsigned char>(kExampleFirmware[525]) << 8;
  return config + kExampleFirmware.substr(536, codeLength);
}

void ExpectUpdated(const ScratchDir& dir, const ProgramResult& result) {
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_TRUE(result.out.ends_with("Message: Success!!\n")) << result.out;
  const std::string state = dir.Read("b.state");
  const std::string written = ExampleWriteBlock();
  EXPECT_EQ(state.substr(0, written.size()), written);
}

TEST(CliSignalsTest, HangupAndQuitDuringTheUpdateLetItFinish) {
  for (const int signal : {SIGHUP, SIGQUIT, SIGTERM}) {
    SCOPED_TRACE(signal);
    const ScratchDir dir;
    ProgramResult result;
    ASSERT_TRUE(InterruptAtTraceLine(dir, {"--simulate=b.state", "--yes", "--config", kExampleConfig}, kChipErase,
                                     result, signal));
    EXPECT_NE(result.err.find("The update must finish"), std::string::npos) << result.err;
    ExpectUpdated(dir, result);
  }
}

TEST(CliSignalsTest, HangupBeforeTheUpdateEndsTheProgramWithoutAStateFile) {
  const ScratchDir dir;
  const ProgramResult asked =
      InterruptOnTerminal(dir, {"--simulate=b.state", "--config", kExampleConfig}, "Continue? [y/N]", SIGHUP);
  EXPECT_EQ(asked.exitCode, 130) << asked.out;
  EXPECT_FALSE(std::filesystem::exists(dir / "b.state"));
}

TEST(CliSignalsTest, TraceReaderGoingAwayDuringTheUpdateDoesNotStopIt) {
  const ScratchDir dir;
  TracedRun run;
  ASSERT_TRUE(run.Start(dir, {"--simulate=b.state", "--yes", "--config", kExampleConfig}));
  ASSERT_TRUE(run.ReadUntil(kChipErase));
  run.CloseTrace();
  ExpectUpdated(dir, run.Finish(dir));
}

}  // namespace
}  // namespace vx::testing
