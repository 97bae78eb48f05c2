// The private-profile calls and StrToIntExW as Windows serves them, side by
// side with the project's own reader on the same files: both must read what
// the shared table expects, so the reader that Linux uses keeps matching
// Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/text.h"
#include "platform/ini_profile.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_profile.h"
#include "tests/base/str_to_int_cases.h"
#include "tests/platform/profile_cases.h"
#include "tests/support/scratch_dir.h"

namespace vx::platform::win32_backend {
namespace {

class Win32ProfileTest : public ::testing::Test {
 protected:
  // Every case gets a file of its own name, so that no reader can answer
  // from what it kept of an earlier file.
  std::u16string Write(const std::string& bytes) { return dir_.Write(std::to_string(++written_) + ".ini", bytes); }

  // The text as a reader copies it into a buffer of bufferChars characters;
  // "<no terminator>" when it leaves none after the text.
  static std::u16string Read(ProfileApi& reader, const test::ProfileStringCase& c, const std::u16string& path) {
    char16_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    const std::uint32_t length = reader.GetString(c.section, c.key, c.defaultValue, buffer, c.bufferChars, path);
    if (length >= c.bufferChars || buffer[length] != u'\0') return u"<no terminator>";
    return std::u16string(buffer, length);
  }

  test::ScratchDir dir_;
  int written_ = 0;
  Win32Profile windows_;
  Win32Files files_;
  IniProfile ours_{files_};
};

// The UTF-8 bytes of text as read in the ANSI code page.
std::u16string InAnsiCodePage(std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  wchar_t wide[64];
  const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide, 64);
  return std::u16string(wide, wide + std::max(length, 0));
}

TEST_F(Win32ProfileTest, StringsReadAlike) {
  for (const test::ProfileStringCase& c : test::ProfileStringCases()) {
    SCOPED_TRACE(c.what);
    const std::u16string path = Write(c.file);
    EXPECT_EQ(ToUtf8(Read(ours_, c, path)), ToUtf8(c.expected));
    const std::u16string windows = Read(windows_, c, path);
    if (c.windows == test::OnWindows::Same) {
      EXPECT_EQ(ToUtf8(windows), ToUtf8(c.expected));
    } else if (c.windows == test::OnWindows::ReadsAnsi) {
      EXPECT_EQ(ToUtf8(windows), ToUtf8(InAnsiCodePage(c.expected)));
    }
  }
}

TEST_F(Win32ProfileTest, NumbersReadAlike) {
  for (const auto& [value, expected] : test::ProfileIntCases()) {
    SCOPED_TRACE("k=" + value);
    const std::u16string path = Write("[S]\nk=" + value + "\n");
    EXPECT_EQ(windows_.GetInt(u"S", u"K", 5, path), expected);
    EXPECT_EQ(ours_.GetInt(u"S", u"K", 5, path), expected);
  }
}

TEST_F(Win32ProfileTest, StrToIntExReadsAlike) {
  for (const test::StrToIntCase& c : test::StrToIntCases()) {
    SCOPED_TRACE(ToUtf8(c.text));
    for (ProfileApi* reader : {static_cast<ProfileApi*>(&windows_), static_cast<ProfileApi*>(&ours_)}) {
      std::int32_t value = 77;
      EXPECT_EQ(reader->StrToIntEx(c.text, value), c.expected.has_value());
      EXPECT_EQ(value, c.expected.value_or(77));
    }
  }
}

// A missing file or a folder gives the defaults. A path without a folder
// names a file in the current folder, as for the other backends, not one in
// the Windows folder as the bare call would have it.
TEST_F(Win32ProfileTest, MissingFilesGiveDefaultsAndRelativePathsStartHere) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir_.Path());
  dir_.Write("Here.ini", "[S]\nk=here\n");
  char16_t buffer[16];
  for (ProfileApi* reader : {static_cast<ProfileApi*>(&windows_), static_cast<ProfileApi*>(&ours_)}) {
    for (const std::u16string& path : {dir_.PathOf("none.ini"), dir_.PathOf("")}) {
      EXPECT_EQ(reader->GetString(u"S", u"k", u"VX94C6.bin", buffer, 16, path), 10u);
      EXPECT_EQ(std::u16string(buffer), u"VX94C6.bin");
      EXPECT_EQ(reader->GetInt(u"S", u"k", -3, path), static_cast<std::uint32_t>(-3));
    }
    EXPECT_EQ(reader->GetString(u"S", u"k", u"", buffer, 16, u"Here.ini"), 4u);
    EXPECT_EQ(std::u16string(buffer), u"here");
  }
  std::filesystem::current_path(previous);
}

}  // namespace
}  // namespace vx::platform::win32_backend
