// The programs' own files on Windows, named in UTF-8 as the programs hold
// them: a folder or file name outside the ANSI code page is still that file,
// what is no writable regular file is refused and kept, and a state file is
// held by one run at a time.
#include <gtest/gtest.h>

#include <windows.h>
// The system names its own call ReplaceFile by a macro.
#undef ReplaceFile

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/text.h"
#include "frontend/file_path.h"
#include "frontend/file_replace.h"
#include "frontend/program_paths.h"
#include "frontend/regular_file_read.h"
#include "frontend/state_file_lock.h"
#include "tests/support/non_ascii_folder.h"

namespace vx::frontend {
namespace {

using test::NonAsciiFolder;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

TEST(FrontendFilesWin32, PathsKeepEveryCharacter) {
  const NonAsciiFolder folder;
  const std::string name = folder.Utf8(L"\u8A2D\u5B9A.ini");
  EXPECT_EQ(FilePath(name).wstring(), (folder / L"\u8A2D\u5B9A.ini").wstring());
  EXPECT_EQ(PathText(FilePath(name)), name);
}

TEST(FrontendFilesWin32, ReplaceWritesAndReplacesLeavingNothingElse) {
  const NonAsciiFolder folder;
  const std::string target = folder.Utf8(L"backup \u00E9.bin");
  std::string error;
  ASSERT_TRUE(ReplaceFile(target, Bytes("first"), error)) << error;
  ASSERT_TRUE(ReplaceFile(target, Bytes("second"), error)) << error;
  EXPECT_EQ(folder.Read(L"backup \u00E9.bin"), Bytes("second"));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder / L"")) ++entries;
  EXPECT_EQ(entries, 1) << "no temporary file stays behind";
}

TEST(FrontendFilesWin32, ReplaceRefusesWhatIsNoWritableRegularFile) {
  const struct {
    const char* name;
    void (*make)(const std::filesystem::path& at);
    const char* reason;
  } cases[] = {
      {"folder", [](const std::filesystem::path& at) { std::filesystem::create_directory(at); },
       "it is not a regular file"},
      {"read-only",
       [](const std::filesystem::path& at) {
         std::ofstream(at, std::ios::binary) << "keep";
         SetFileAttributesW(at.c_str(), FILE_ATTRIBUTE_READONLY);
       },
       "it is read-only"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const NonAsciiFolder folder;
    c.make(folder / L"\u00FCber");
    std::string error;
    EXPECT_FALSE(ReplaceFile(folder.Utf8(L"\u00FCber"), Bytes("new"), error));
    EXPECT_EQ(error, c.reason);
    if (std::filesystem::is_regular_file(folder / L"\u00FCber")) {
      EXPECT_EQ(folder.Read(L"\u00FCber"), Bytes("keep"));
      SetFileAttributesW((folder / L"\u00FCber").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
}

TEST(FrontendFilesWin32, ReadsARegularFileUpToTheLimitOnly) {
  const NonAsciiFolder folder;
  folder.Write(L"image \u03A9.bin", "12345678");
  std::vector<std::uint8_t> content;
  std::string error;
  ASSERT_TRUE(ReadRegularFile(folder.Utf8(L"image \u03A9.bin"), 8, content, error)) << error;
  EXPECT_EQ(content, Bytes("12345678"));

  EXPECT_FALSE(ReadRegularFile(folder.Utf8(L"image \u03A9.bin"), 7, content, error));
  EXPECT_EQ(error, "'" + folder.Utf8(L"image \u03A9.bin") + "' holds more than the 7 bytes of the emulated flash");
  std::filesystem::create_directory(folder / L"sub");
  EXPECT_FALSE(ReadRegularFile(folder.Utf8(L"sub"), 8, content, error));
  EXPECT_NE(error.find("it is not a regular file"), std::string::npos) << error;
}

TEST(FrontendFilesWin32, StateFileMadeByARunGoesUnlessKept) {
  for (const bool keep : {false, true}) {
    SCOPED_TRACE(keep ? "kept" : "not kept");
    const NonAsciiFolder folder;
    const std::string state = folder.Utf8(L"br\u00FCcke.state");
    {
      StateFileLock lock;
      std::string error;
      ASSERT_TRUE(lock.Acquire(state, error)) << error;
      EXPECT_TRUE(std::filesystem::exists(folder / L"br\u00FCcke.state"));
      if (keep) lock.Keep();
    }
    EXPECT_EQ(std::filesystem::exists(folder / L"br\u00FCcke.state"), keep);
  }
}

// The holder replaces the state file with what it saves while the second run
// waits, and the second run then reads what was saved.
TEST(FrontendFilesWin32, SecondHolderOfAStateFileWaitsAndReadsWhatTheFirstSaved) {
  const NonAsciiFolder folder;
  folder.Write(L"\u6A4B.state", "old");
  const std::string state = folder.Utf8(L"\u6A4B.state");
  auto first = std::make_unique<StateFileLock>();
  std::string error;
  ASSERT_TRUE(first->Acquire(state, error)) << error;

  std::atomic<bool> secondHolds{false};
  std::vector<std::uint8_t> secondRead;
  std::thread second([&] {
    StateFileLock lock;
    std::string secondError;
    if (!lock.Acquire(state, secondError)) return;
    secondHolds = true;
    ReadAtMost(lock.Descriptor(), 16, state, secondRead, secondError);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(secondHolds) << "the second took the lock while the first held it";
  first->Keep();
  EXPECT_TRUE(ReplaceFile(state, Bytes("saved"), error)) << error;
  first.reset();
  second.join();
  EXPECT_TRUE(secondHolds);
  EXPECT_EQ(secondRead, Bytes("saved"));
}

TEST(FrontendFilesWin32, SettingsInANonAsciiFolderAreFoundThere) {
  const NonAsciiFolder folder;
  folder.Write(L"Config.ini", "[Cmp_Ver]\n");
  const std::string program = folder.Utf8(L"");
  const ProgramPaths beside = ResolveProgramPaths("", program, "");
  EXPECT_TRUE(beside.settingsFound);
  EXPECT_EQ(ToUtf8(beside.exeDir), program);

  const ProgramPaths named = ResolveProgramPaths(folder.Utf8(L"Config.ini"), "C:\\nowhere\\", "");
  EXPECT_TRUE(named.settingsFound);
  EXPECT_EQ(ToUtf8(named.exeDir), program) << "the folder of the named file, ending in its separator";
  std::string error;
  EXPECT_TRUE(CheckSettingsFile(named, error)) << error;
}

}  // namespace
}  // namespace vx::frontend
