// The files the programs write and the simulation's input files, through
// runs of the command-line program: nothing but a regular file the user may
// write is ever replaced, no temporary file stays behind, two runs never
// share one state file at the same time, and an input file that is no
// regular file or too large is refused with a message.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "tests/support/program_run.h"

namespace vx::testing {
namespace {

const std::string kExampleConfig = std::string(VX_SOURCE_DIR) + "/examples/Config.ini";
const std::string kExampleFirmware = ReadFile(std::string(VX_SOURCE_DIR) + "/examples/VX94C6_example.eep");
const std::string kChipErase = "SCSI out 0 E7 01 00 00 1B 7E 00 00 C7";
// The emulated default flash holds 512 KiB.
constexpr std::size_t kFlashBytes = 512 * 1024;

std::vector<std::string> Listing(const ScratchDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "")) {
    const std::string name = entry.path().filename().string();
    if (name != ".stdout" && name != ".stderr") names.push_back(name);
  }
  std::ranges::sort(names);
  return names;
}

std::vector<std::string> ReadArgs(const std::string& file) {
  return {"read", file, "--simulate", "--sim-image", "image.bin", "--length", "16"};
}

TEST(FrontendFilesTest, ReadRefusesADestinationThatIsNoWritableRegularFile) {
  const struct {
    std::string name;
    void (*make)(const ScratchDir& dir);
    std::string reason;
  } cases[] = {
      {"fifo", [](const ScratchDir& d) { ASSERT_EQ(mkfifo((d / "out").c_str(), 0600), 0); }, "not a regular file"},
      {"folder", [](const ScratchDir& d) { std::filesystem::create_directory(d / "out"); }, "not a regular file"},
      {"read-only",
       [](const ScratchDir& d) {
         d.Write("out", "keep");
         chmod((d / "out").c_str(), 0444);
       },
       "read-only"},
      {"symlink",
       [](const ScratchDir& d) {
         d.Write("target", "keep");
         std::filesystem::create_symlink("target", d / "out");
       },
       "symbolic link"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ScratchDir dir;
    dir.Write("image.bin", "0123456789abcdef");
    c.make(dir);
    struct stat before {};
    ASSERT_EQ(lstat((dir / "out").c_str(), &before), 0);
    const std::vector<std::string> listed = Listing(dir);

    const ProgramResult result = RunUpdater(dir, ReadArgs("out"));
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    struct stat after {};
    ASSERT_EQ(lstat((dir / "out").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(Listing(dir), listed);  // no temporary file left
    if (std::filesystem::is_regular_file(dir / "target")) {
      EXPECT_EQ(dir.Read("target"), "keep");
    }
  }
}

TEST(FrontendFilesTest, ReadReplacesAFileThroughANewTemporaryKeepingItsPermissions) {
  const ScratchDir dir;
  dir.Write("image.bin", "0123456789abcdef");
  dir.Write("out", "old content");
  chmod((dir / "out").c_str(), 0640);
  // A link planted where a fixed temporary name would be must not be followed.
  dir.Write("victim", "keep");
  std::filesystem::create_symlink("victim", dir / "out.part");

  const ProgramResult result = RunUpdater(dir, ReadArgs("out"));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(dir.Read("out"), "0123456789abcdef");
  struct stat info {};
  ASSERT_EQ(stat((dir / "out").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(dir.Read("victim"), "keep");
  EXPECT_EQ(Listing(dir), (std::vector<std::string>{"image.bin", "out", "out.part", "victim"}));
}

TEST(FrontendFilesTest, SimulationInputThatIsNoRegularFileOrTooLargeIsRefusedWithAMessage) {
  const struct {
    std::string name;
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {"folder as state", {"list", "--simulate=folder"}, "not a regular file"},
      {"fifo as state", {"list", "--simulate=fifo"}, "not a regular file"},
      {"link as state", {"list", "--simulate=link"}, "not a regular file"},
      {"folder as image", {"list", "--simulate", "--sim-image", "folder"}, "not a regular file"},
      {"fifo as image", {"list", "--simulate", "--sim-image", "fifo"}, "not a regular file"},
      {"device as image", {"list", "--simulate", "--sim-image", "/dev/zero"}, "not a regular file"},
      {"image too large", {"list", "--simulate", "--sim-image", "large.bin"}, "more than the 524288 bytes"},
      {"state of another size", {"list", "--simulate=small.state"}, "holds 16 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ScratchDir dir;
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    dir.Write("large.bin", std::string(kFlashBytes + 1, '\x5A'));
    dir.Write("small.state", "0123456789abcdef");
    dir.Write("target", "keep");
    std::filesystem::create_symlink("target", dir / "link");
    const ProgramResult result = RunUpdater(dir, c.args);
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(dir.Read("small.state"), "0123456789abcdef");
    EXPECT_EQ(dir.Read("target"), "keep");
  }
}

// A second run on a state file that another run is using waits for it, and
// then sees what the first run wrote.
TEST(FrontendFilesTest, SecondRunOnAStateFileWaitsForTheFirst) {
  const ScratchDir dir;
  TracedRun update;
  ASSERT_TRUE(update.Start(dir, {"--simulate=b.state", "--yes", "--config", kExampleConfig}));
  ASSERT_TRUE(update.ReadUntil(kChipErase));  // the first run stalls in its update

  const ScratchDir readDir;
  const int notes = OpenPipeReader(readDir / ".stderr");  // the second run's standard error
  ASSERT_GE(notes, 0);
  const pid_t read = Start(readDir, {"read", dir / "b.state.read", "--simulate=" + (dir / "b.state"), "--address",
                                     "0x2800", "--length", "4096"});
  // It finds the state file locked and waits; without the lock it would have
  // read the bridge as it was before the update.
  std::string err;
  EXPECT_TRUE(ReadUntil(notes, err, "in use by another run")) << err;
  int status = 0;
  EXPECT_EQ(waitpid(read, &status, WNOHANG), 0);

  const ProgramResult updated = update.Finish(dir);
  ASSERT_EQ(updated.exitCode, 0) << updated.out << updated.err;
  ReadUntil(notes, err, "");
  close(notes);
  EXPECT_EQ(ExitCodeOf(read), 0) << err;
  EXPECT_EQ(dir.Read("b.state.read"), kExampleFirmware.substr(10240));
}

// A folder whose name is no UTF-8 is still that folder, not the one whose
// name its replacement characters would spell.
TEST(FrontendFilesTest, SettingsInAFolderWhoseNameIsNoUtf8AreReadFromThatFolder) {
  const ScratchDir dir;
  const std::string latin1 = dir / "site-\xE9";
  const std::string lookalike = dir / "site-\xEF\xBF\xBD";
  std::filesystem::create_directory(latin1);
  std::filesystem::create_directory(lookalike);
  std::ofstream(latin1 + "/Config.ini") << "[Hex_FileName]\nHEXNAME=right.eep\n[Cmp_Ver]\nCMPLEN=0\n";
  std::ofstream(lookalike + "/Config.ini") << "[Hex_FileName]\nHEXNAME=wrong.eep\n";
  const ProgramResult shown = RunUpdater(dir, {"config", "--config", latin1 + "/Config.ini"});
  EXPECT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_NE(shown.out.find("Settings file: " + latin1 + "/Config.ini\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("Firmware file: " + latin1 + "/right.eep\n"), std::string::npos) << shown.out;
  EXPECT_NE(shown.out.find("Version gate: off"), std::string::npos) << shown.out;
}

}  // namespace
}  // namespace vx::testing
