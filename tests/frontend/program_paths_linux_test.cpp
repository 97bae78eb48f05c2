// Where the settings come from: --config, "Config.ini" beside the program,
// the system's settings folder, or none at all.
#include <gtest/gtest.h>

#include "base/text.h"
#include "frontend/program_paths.h"
#include "tests/support/program_run.h"

namespace vx::frontend {
namespace {

using vx::testing::ScratchDir;

TEST(ProgramPathsTest, BesideTheProgramFirstThenTheSystemFolder) {
  const struct {
    bool beside, system;
    std::string used;  // "program", "system", or "" for none
  } cases[] = {{true, true, "program"}, {true, false, "program"}, {false, true, "system"}, {false, false, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.used);
    const ScratchDir dir;
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "etc");
    if (c.beside) dir.Write("bin/Config.ini", "[Cmp_Ver]\n");
    if (c.system) dir.Write("etc/Config.ini", "[Cmp_Ver]\n");
    const std::string program = dir / "bin/", system = dir / "etc/";
    const ProgramPaths paths = ResolveProgramPaths("", program, system);
    const std::string folder = c.used == "system" ? system : program;
    EXPECT_EQ(ToUtf8(paths.exeDir), folder);  // where the firmware file is looked for
    EXPECT_EQ(ToUtf8(paths.settingsPath), folder + "Config.ini");
    EXPECT_EQ(paths.settingsFound, !c.used.empty());
    EXPECT_FALSE(paths.settingsNamed);
    std::string error;
    EXPECT_TRUE(CheckSettingsFile(paths, error)) << error;
    EXPECT_EQ(SettingsFileText(paths),
              c.used.empty() ? "Settings file: none found (looked for " + program + "Config.ini, then " + system +
                                   "Config.ini); every setting takes its default"
                             : "Settings file: " + folder + "Config.ini");
  }
}

TEST(ProgramPathsTest, ConfigOptionNamesTheFileAndItsFolder) {
  const ScratchDir dir;
  dir.Write("Config.ini", "[Cmp_Ver]\n");
  const ProgramPaths named = ResolveProgramPaths(dir / "Config.ini", dir / "bin/", dir / "etc/");
  EXPECT_EQ(ToUtf8(named.exeDir), dir / "");
  EXPECT_TRUE(named.settingsFound);
  std::string error;
  EXPECT_TRUE(CheckSettingsFile(named, error));

  const ProgramPaths missing = ResolveProgramPaths(dir / "other.ini", dir / "bin/", dir / "etc/");
  EXPECT_FALSE(CheckSettingsFile(missing, error));
  EXPECT_EQ(error, "the settings file '" + (dir / "other.ini") + "' does not exist");
  EXPECT_EQ(ToUtf8(ResolveProgramPaths("Config.ini", "/x/", "/y/").exeDir), "./");
}

TEST(ProgramPathsTest, WithoutASystemFolderOnlyTheProgramsFolderIsSearched) {
  const ScratchDir dir;
  std::filesystem::create_directories(dir / "bin");
  const ProgramPaths paths = ResolveProgramPaths("", dir / "bin/", "");
  EXPECT_FALSE(paths.settingsFound);
  EXPECT_EQ(ToUtf8(paths.exeDir), dir / "bin/");
  EXPECT_EQ(SettingsFileText(paths), "Settings file: none found (looked for " + (dir / "bin/Config.ini") +
                                         "); every setting takes its default");
}

TEST(ProgramPathsTest, SystemFolderIsTheDefaultOfTheBuild) {
  EXPECT_EQ(SystemSettingsFolder(), "/etc/vx94c6-updater/");
}

}  // namespace
}  // namespace vx::frontend
