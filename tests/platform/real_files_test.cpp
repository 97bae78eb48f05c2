// The Linux backend on real files: reading them as the firmware loaders do,
// and the profile reader, with the results Windows gives for the same files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_platform.h"
#include "platform/profile_api.h"

namespace vx::platform::linux_backend {
namespace {

// A fresh directory of this test process, removed with everything in it.
struct ScratchDir {
  ScratchDir() { std::filesystem::create_directories(path); }
  ~ScratchDir() { std::filesystem::remove_all(path); }
  std::u16string PathOf(const std::string& name) const { return FromUtf8((path / name).string()); }
  // Writes a file of these bytes and returns its path as the platform takes it.
  std::u16string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path / name, std::ios::binary) << bytes;
    return PathOf(name);
  }
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("vx-platform-" + std::to_string(::getpid()));
};

TEST(LinuxFiles, ReadsWholeFileAndStopsAtItsEnd) {
  ScratchDir dir;
  LinuxFiles files;
  const FileHandle file = files.OpenForRead(dir.Write("code.bin", "abcdef"));
  ASSERT_NE(file, FileHandle::None);
  std::uint64_t size = 0;
  ASSERT_TRUE(files.GetSize(file, size));
  EXPECT_EQ(size, 6u);
  char buffer[16];
  std::uint32_t got = 0;
  for (const std::string expected : {"abcd", "ef", ""}) {  // short only because the file ends
    ASSERT_TRUE(files.Read(file, buffer, 4, got));
    EXPECT_EQ(std::string(buffer, got), expected);
  }
  files.Close(file);
}

TEST(LinuxFiles, RefusesWhatIsNoReadablePlainFile) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo((dir.path / "pipe").c_str(), 0600), 0);
  dir.Write("a", "x");
  LinuxFiles files;
  for (const std::u16string& path : {dir.PathOf("missing.bin"), dir.PathOf(""), dir.PathOf("pipe"), std::u16string(),
                                     // an embedded terminator must not open the shorter path
                                     dir.PathOf("a") + std::u16string(1, u'\0') + u"b"}) {
    EXPECT_EQ(files.OpenForRead(path), FileHandle::None) << ToUtf8(path);
  }
}

ProfileApi& RealProfile() { return *LinuxPlatform().profile; }

TEST(ProfileString, ReadsAsWindowsDoes) {
  struct Case {
    const char* what;
    std::string file;
    std::u16string section;
    std::u16string key;
    std::u16string expected;
    std::uint32_t bufferChars = 64;
    std::u16string defaultValue = u"D";
  };
  const char utf16[] = "\xFF\xFE[\0S\0]\0\n\0k\0=\0w\0\n\0";
  const std::string names = "[ Sec ]\r\n  Key  =  value  \r\nTabbed=\t v2 \t\r\n";
  const std::string quotes =
      "[S]\nq1=\"abc\"\nq2='abc'\nq3=\"abc'\nq4=\"\nq5=\"\"\nq6=\" a \"\nq7=\"a\"b\"\nq8=\"abcdef\"\n";
  const Case cases[] = {
      {"names trimmed and case-insensitive", names, u"sec", u"KEY", u"value"},
      {"query names trimmed too", names, u" Sec ", u" key ", u"value"},
      {"tabs around a value", names, u"Sec", u"tabbed", u"v2"},
      {"double quotes removed", quotes, u"S", u"q1", u"abc"},
      {"single quotes removed", quotes, u"S", u"q2", u"abc"},
      {"unmatched quotes kept", quotes, u"S", u"q3", u"\"abc'"},
      {"a lone quote kept", quotes, u"S", u"q4", u"\""},
      {"empty quotes give empty text", quotes, u"S", u"q5", u""},
      {"spaces inside quotes kept", quotes, u"S", u"q6", u" a "},
      {"only the outer pair removed", quotes, u"S", u"q7", u"a\"b"},
      {"quoted value cut after unquoting", quotes, u"S", u"q8", u"abc", 4},
      {"comment lines", "[S]\n;c=1\n  ;c=2\n", u"S", u"c", u"D"},
      {"semicolon later is part of the value", "[S]\nk=v ; c\n", u"S", u"k", u"v ; c"},
      {"second '=' is part of the value", "[S]\nk = a = b\n", u"S", u"k", u"a = b"},
      {"first key wins", "[S]\na=1\na=2\n[s]\nb=2\n", u"S", u"a", u"1"},
      {"only the first section of a name counts", "[S]\na=1\n[s]\nb=2\n", u"S", u"b", u"D"},
      {"empty value is empty, not the default", "[S]\nk=\n", u"S", u"k", u""},
      {"key without '=' gives the default", "[S]\nk\n", u"S", u"k", u"D"},
      {"missing key", "[S]\nk=v\n", u"S", u"other", u"D"},
      {"missing section", "[S]\nk=v\n", u"T", u"k", u"D"},
      {"empty key name", "[S]\n=v\n", u"S", u"", u"D"},
      {"value cut to buffer minus one", "[S]\nk=12abc\n", u"S", u"k", u"12a", 4},
      {"buffer of one holds only the terminator", "[S]\nk=12abc\n", u"S", u"k", u"", 1},
      {"default cut too", "[S]\n", u"S", u"k", u"ab", 3, u"abcdef"},
      {"default loses trailing blanks", "", u"S", u"k", u"ab", 64, u"ab  "},
      {"default keeps leading blanks", "", u"S", u"k", u"  ab", 64, u"  ab"},
      {"default loses its quotes", "", u"S", u"k", u"ab", 64, u"\"ab\""},
      {"UTF-8 byte-order mark skipped", "\xEF\xBB\xBF[S]\nk=bom\n", u"S", u"k", u"bom"},
      {"UTF-8 text", "[S]\nk=\xC3\xA9t\xC3\xA9\n", u"S", u"k", u"\u00e9t\u00e9"},
      {"UTF-16 file with byte-order mark", std::string(utf16, sizeof utf16 - 1), u"S", u"k", u"w"},
      {"keys before the first section", "top=1\n[S]\n", u"", u"top", u"1"},
      {"text after the ']' ignored", "[S] junk\nk=w\n", u"S", u"k", u"w"},
      {"header without ']' is no section", "[Sec\nk=v\n", u"Sec", u"k", u"D"},
      {"name runs to the last ']'", "[T]]\nk=x\n", u"T]", u"k", u"x"},
      {"old Mac line ends", "[S]\rk=v\rj=w\r", u"S", u"j", u"w"},
      {"end-of-file mark trimmed", "[S]\nk=v\x1A\n", u"S", u"k", u"v"},
  };
  ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string path = dir.Write("Config.ini", c.file);
    char16_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    const std::uint32_t length = RealProfile().GetString(c.section, c.key, c.defaultValue, buffer, c.bufferChars, path);
    EXPECT_EQ(std::u16string(buffer, length), c.expected);
    EXPECT_EQ(buffer[length], u'\0');
  }
}

TEST(ProfileInt, ReadsLeadingNumberAndWrapsAsWindowsDoes) {
  const std::pair<std::string, std::uint32_t> cases[] = {  // the text after "k=", the number
      {"12abc", 12},          {"abc", 0},          {"-1", 0xFFFFFFFF},          {"0x1F", 31},
      {"0X1F", 0},            {"0b101", 5},        {"0o17", 15},                {"  +7", 7},
      {"4294967297", 1},      {"-0x10", 0xFFFFFFF0}, {"0x", 0},                 {"1 2", 1},
      {"\"12\"", 12},         {"\" 12\"", 12},     {"-4294967297", 0xFFFFFFFF}, {"0xFFFFFFFFF", 0xFFFFFFFF},
      {"- 1", 0},             {"\"\"", 5},         {"", 5},
      // The value is read through a 30-character buffer: 29 characters count.
      {"00000000000000000000000000012", 12},       {"000000000000000000000000000012", 1},
  };
  ScratchDir dir;
  for (const auto& [value, expected] : cases) {
    const std::u16string path = dir.Write("Config.ini", "[S]\nk=" + value + "\n");
    EXPECT_EQ(RealProfile().GetInt(u"S", u"K", 5, path), expected) << "k=" << value;
  }
}

TEST(Profile, MissingFileGivesTheDefault) {
  ScratchDir dir;
  char16_t buffer[16];
  for (const std::u16string& path : {dir.PathOf("none.ini"), dir.PathOf("")}) {  // nothing there, a directory
    EXPECT_EQ(RealProfile().GetString(u"S", u"k", u"VX94C6.bin", buffer, 16, path), 10u);
    EXPECT_EQ(std::u16string(buffer), u"VX94C6.bin");
    EXPECT_EQ(RealProfile().GetInt(u"S", u"k", -3, path), static_cast<std::uint32_t>(-3));
  }
}

}  // namespace
}  // namespace vx::platform::linux_backend
