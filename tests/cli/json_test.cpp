// JSON for scripts: list --json and the summary line of an update, parsed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/program_run.h"

namespace vx::testing {
namespace {

using nlohmann::json;

const std::string kExampleFirmware = ReadFile(std::string(VX_SOURCE_DIR) + "/examples/VX94C6_example.eep");

TEST(JsonTest, ListPrintsTheBridgesAndNothingElse) {
  const ScratchDir dir;
  const ProgramResult result = RunUpdater(dir, {"list", "--simulate", "--json", "--sim-flash", "EF4018"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const json list = json::parse(result.out);  // standard output holds the JSON alone
  ASSERT_EQ(list.at("bridges").size(), 1u);
  const json& bridge = list["bridges"][0];
  EXPECT_EQ(bridge.at("slot"), 0);
  EXPECT_EQ(bridge.at("vendorId"), "1B7E");
  EXPECT_EQ(bridge.at("productId"), "94C6");
  EXPECT_EQ(bridge.at("firmwareVersion"), "01000005");
  EXPECT_EQ(bridge.at("mode"), 3);
  EXPECT_EQ(bridge.at("flashChip"), json::parse(R"({"row":46,"id":"EF4018","pageSize":256})"));
  EXPECT_EQ(bridge.at("usbDevice"), "USB\\VID_1B7E&PID_94C6\\VX0001");
  EXPECT_TRUE(bridge.at("diskPath").get<std::string>().starts_with("\\\\?\\usbstor#disk&ven_tarvenix"));
  EXPECT_EQ(bridge.at("blockDevice"), nullptr);  // a simulated disk has no block device
  EXPECT_TRUE(bridge.at("winusbPath").get<std::string>().starts_with("\\\\?\\usb#vid_1b7e&pid_94c6&mi_01#"));
  EXPECT_EQ(bridge.at("hub"), 1);
  EXPECT_EQ(bridge.at("port"), 1);
  EXPECT_EQ(bridge.at("driveLetters"), json::array({"E"}));
}

TEST(JsonTest, UpdateEndsWithOneLineOfItsOutcome) {
  const std::string noGates = "[Hex_FileName]\nHEXNAME=fw.eep\n[Cmp_Ver]\nCMPLEN=0\n";
  const struct {
    std::vector<std::string> args;
    std::string settings;  // "": no settings file
    int exitCode;
    std::string result;
    json message, versionAfter, checksumBefore;
  } cases[] = {
      {{"--yes"}, noGates, 0, "updated", "Success!!", "01000005", "0000"},
      {{}, noGates, 7, "not-confirmed", nullptr, nullptr, "0000"},  // no terminal to ask on
      {{"--yes"},
       "[Hex_FileName]\nHEXNAME=fw.eep\n[Cmp_Ver]\nCMPLEN=8\nCMPSTR=01000006\n",
       8,
       "gate-refused",
       "FW version are not the same.",
       nullptr,
       "0000"},
      {{"--yes"}, "[Hex_FileName]\nHEXNAME=big.eep\n[Cmp_Ver]\nCMPLEN=0\n", 9, "update-failed",
       "The disk image does not fit the flash of this bridge.\nNothing was written.",
       "01000005", "0000"},
      // An unidentified flash cannot be read: the bridge is known, its code is not.
      {{"--yes", "--sim-flash", "A14014"}, noGates, 5, "device-read-failed", "Read device content error", nullptr,
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    const ScratchDir dir;
    dir.Write("fw.eep", kExampleFirmware);
    dir.Write("big.eep", kExampleFirmware.substr(0, 10240) + std::string(520 * 1024, '\x5A'));
    dir.Write("Config.ini", c.settings);
    std::vector<std::string> args = {"--simulate", "--json", "--config", dir / "Config.ini"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProgramResult run = RunUpdater(dir, args);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    ASSERT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
    EXPECT_NE(run.err.find("Settings file: " + (dir / "Config.ini")), std::string::npos);  // the rest goes there
    const json line = json::parse(run.out);
    EXPECT_EQ(line.at("result"), c.result);
    EXPECT_EQ(line.at("exitCode"), c.exitCode);
    EXPECT_EQ(line.at("bridge").at("usbDevice"), "USB\\VID_1B7E&PID_94C6\\VX0001");
    EXPECT_EQ(line.at("versionBefore"), "01000005");
    EXPECT_EQ(line.at("versionAfter"), c.versionAfter);
    EXPECT_EQ(line.at("codeChecksumBefore"), c.checksumBefore);
    EXPECT_EQ(line.at("message"), c.message);
    EXPECT_EQ(line.at("simulated"), true);
    if (c.exitCode == 0) {
      EXPECT_EQ(line.at("firmwareFile"), dir / "fw.eep");
      EXPECT_EQ(line.at("firmwareChecksum"), "F400");
    }
  }
}

TEST(JsonTest, OutcomesBeforeAnyBridgeStillGiveTheLine) {
  const ScratchDir dir;
  const ProgramResult missing = RunUpdater(dir, {"--simulate", "--json", "--config", dir / "none.ini"});
  EXPECT_EQ(missing.exitCode, 3);
  const json line = json::parse(missing.out);
  EXPECT_EQ(line.at("result"), "settings-refused");
  EXPECT_EQ(line.at("bridge"), nullptr);
  EXPECT_EQ(line.at("versionBefore"), nullptr);
  EXPECT_EQ(line.at("firmwareFile"), nullptr);

  const ProgramResult real = RunUpdater(dir, {"list", "--json"});  // this build cannot search the real machine
  EXPECT_EQ(real.exitCode, 4);
  EXPECT_EQ(json::parse(real.out), json::parse(R"({"bridges":[]})"));
}

}  // namespace
}  // namespace vx::testing
