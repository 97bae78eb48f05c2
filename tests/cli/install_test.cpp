// `cmake --install --prefix` into a fresh folder: the program stripped, its
// man page made from --help, the examples and the udev rule, and the
// installed program finding its settings.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/program_run.h"

namespace vx::testing {
namespace {

bool IsFile(const std::string& path) { return std::filesystem::is_regular_file(path); }

// The man page's text as it reads: roff's escaped hyphens and backslashes back.
std::string Unescaped(std::string page) {
  const std::pair<std::string, std::string> escapes[] = {{"\\-", "-"}, {"\\e", "\\"}};
  for (const auto& [from, to] : escapes) {
    for (std::size_t at = 0; (at = page.find(from, at)) != std::string::npos; at += to.size()) {
      page.replace(at, from.size(), to);
    }
  }
  return page;
}

class InstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string command = std::string(VX_CMAKE_COMMAND) + " --install " + VX_BUILD_DIR + " --prefix " +
                                (prefix_ / "") + " >" + (prefix_ / "install.log") + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << prefix_.Read("install.log");
  }
  ScratchDir prefix_;
  const std::string program_ = prefix_ / "bin/vx94c6-updater";
  const std::string examples_ = prefix_ / "share/vx94c6-updater/examples/";
};

TEST_F(InstallTest, LaysOutProgramManPageExamplesAndUdevRule) {
  for (const std::string& file : {program_, examples_ + "Config.ini", examples_ + "VX94C6_example.eep",
                                  prefix_ / "share/man/man1/vx94c6-updater.1",
                                  prefix_ / "lib/udev/rules.d/60-vx94c6-updater.rules"}) {
    EXPECT_TRUE(IsFile(file)) << file;
  }
  EXPECT_EQ(ReadFile(program_).find(".symtab"), std::string::npos);  // stripped
  EXPECT_NE(ReadFile(VX_UPDATER_PATH).find(".symtab"), std::string::npos);

  const ScratchDir dir;
  const std::string page = Unescaped(prefix_.Read("share/man/man1/vx94c6-updater.1"));
  EXPECT_TRUE(page.starts_with(".TH VX94C6-UPDATER 1\n.SH NAME\nvx94c6-updater - ")) << page;
  std::istringstream help(RunUpdater(dir, {"--help"}).out);
  for (std::string line; std::getline(help, line);) {
    if (line.starts_with("  ")) {
      EXPECT_NE(page.find(line.substr(2)), std::string::npos) << line;
    }
  }

  const ProgramResult update =
      RunUpdater(dir, {"--simulate", "--yes", "--config", examples_ + "Config.ini"}, program_);
  EXPECT_EQ(update.exitCode, 0) << update.out << update.err;
}

TEST_F(InstallTest, InstalledProgramReadsTheSettingsBesideItFirst) {
  const ScratchDir dir;
  if (!std::filesystem::exists("/etc/vx94c6-updater/Config.ini")) {
    const ProgramResult none = RunUpdater(dir, {"--simulate", "--yes"}, program_);
    EXPECT_EQ(none.exitCode, 6);  // the default firmware file is not there
    EXPECT_NE(none.out.find("Settings file: none found (looked for " + prefix_ / "bin/Config.ini" +
                            ", then /etc/vx94c6-updater/Config.ini); every setting takes its default"),
              std::string::npos)
        << none.out;
  }
  prefix_.Write("bin/Config.ini", "[Cmp_Ver]\nCMPLEN=0\n");
  const ProgramResult config = RunUpdater(dir, {"config"}, program_);
  EXPECT_EQ(config.exitCode, 0);
  EXPECT_TRUE(config.out.starts_with("Settings file: " + prefix_ / "bin/Config.ini" + "\n")) << config.out;
  EXPECT_NE(config.out.find("Version gate: off"), std::string::npos);
}

}  // namespace
}  // namespace vx::testing
