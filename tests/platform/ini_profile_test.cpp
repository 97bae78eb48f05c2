// The profile reader against real files, with the results Windows gives for
// the same files.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/linux/linux_platform.h"
#include "platform/profile_api.h"
#include "platform/sim/sim_platform.h"
#include "tests/platform/temp_dir.h"

namespace vx::platform {
namespace {

ProfileApi& RealProfile() { return *linux_backend::LinuxPlatform().profile; }

struct StringCase {
  const char* what;
  std::string file;
  std::u16string section;
  std::u16string key;
  std::u16string defaultValue;
  std::uint32_t bufferChars;
  std::u16string expected;
};

class ProfileStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(ProfileStringTest, ReadsAsWindowsDoes) {
  const StringCase& c = GetParam();
  testing::ScratchDir dir;
  const std::u16string path = dir.Write("Config.ini", c.file);
  char16_t buffer[64];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  const std::uint32_t length = RealProfile().GetString(c.section, c.key, c.defaultValue, buffer, c.bufferChars, path);
  EXPECT_EQ(std::u16string(buffer, length), c.expected);
  EXPECT_EQ(buffer[length], u'\0');
}

const char kUtf16Bytes[] = "\xFF\xFE[\0S\0]\0\n\0k\0=\0w\0\n\0";
const std::string kNames = "[ Sec ]\r\n  Key  =  value  \r\nTabbed=\t v2 \t\r\n";
const std::string kQuotes =
    "[S]\nq1=\"abc\"\nq2='abc'\nq3=\"abc'\nq4=\"\nq5=\"\"\nq6=\" a \"\nq7=\"a\"b\"\nq8=\"abcdef\"\n";

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileStringTest,
    ::testing::Values(
        StringCase{"names trimmed and case-insensitive", kNames, u"sec", u"KEY", u"D", 64, u"value"},
        StringCase{"query names trimmed too", kNames, u" Sec ", u" key ", u"D", 64, u"value"},
        StringCase{"tabs around a value", kNames, u"Sec", u"tabbed", u"D", 64, u"v2"},
        StringCase{"double quotes removed", kQuotes, u"S", u"q1", u"D", 64, u"abc"},
        StringCase{"single quotes removed", kQuotes, u"S", u"q2", u"D", 64, u"abc"},
        StringCase{"unmatched quotes kept", kQuotes, u"S", u"q3", u"D", 64, u"\"abc'"},
        StringCase{"a lone quote kept", kQuotes, u"S", u"q4", u"D", 64, u"\""},
        StringCase{"empty quotes give empty text", kQuotes, u"S", u"q5", u"D", 64, u""},
        StringCase{"spaces inside quotes kept", kQuotes, u"S", u"q6", u"D", 64, u" a "},
        StringCase{"only the outer pair removed", kQuotes, u"S", u"q7", u"D", 64, u"a\"b"},
        StringCase{"quoted value cut after unquoting", kQuotes, u"S", u"q8", u"D", 4, u"abc"},
        StringCase{"quoted value that just fits", kQuotes, u"S", u"q8", u"D", 7, u"abcdef"},
        StringCase{"comment line", "[S]\n;c=1\n  ;d=2\n", u"S", u"c", u"D", 64, u"D"},
        StringCase{"indented comment line", "[S]\n;c=1\n  ;d=2\n", u"S", u"d", u"D", 64, u"D"},
        StringCase{"semicolon later is part of the value", "[S]\nk=v ; c\n", u"S", u"k", u"D", 64, u"v ; c"},
        StringCase{"second '=' is part of the value", "[S]\nk = a = b\n", u"S", u"k", u"D", 64, u"a = b"},
        StringCase{"first key wins", "[S]\na=1\na=2\n[s]\nb=2\n", u"S", u"a", u"D", 64, u"1"},
        StringCase{"only the first section of a name counts", "[S]\na=1\n[s]\nb=2\n", u"S", u"b", u"D", 64, u"D"},
        StringCase{"empty value is empty, not the default", "[S]\nk=\n", u"S", u"k", u"D", 64, u""},
        StringCase{"key without '=' gives the default", "[S]\nk\n", u"S", u"k", u"D", 64, u"D"},
        StringCase{"missing key", "[S]\nk=v\n", u"S", u"other", u"D", 64, u"D"},
        StringCase{"missing section", "[S]\nk=v\n", u"T", u"k", u"D", 64, u"D"},
        StringCase{"empty key name", "[S]\n=v\n", u"S", u"", u"D", 64, u"D"},
        StringCase{"value cut to buffer minus one", "[S]\nk=12abc\n", u"S", u"k", u"D", 4, u"12a"},
        StringCase{"buffer of one holds only the terminator", "[S]\nk=12abc\n", u"S", u"k", u"D", 1, u""},
        StringCase{"default cut too", "[S]\n", u"S", u"k", u"abcdef", 3, u"ab"},
        StringCase{"default loses trailing blanks", "", u"S", u"k", u"ab  ", 64, u"ab"},
        StringCase{"default keeps leading blanks", "", u"S", u"k", u"  ab", 64, u"  ab"},
        StringCase{"default loses its quotes", "", u"S", u"k", u"\"ab\"", 64, u"ab"},
        StringCase{"UTF-8 byte-order mark skipped", "\xEF\xBB\xBF[S]\nk=bom\n", u"S", u"k", u"D", 64, u"bom"},
        StringCase{"UTF-8 text", "[S]\nk=\xC3\xA9t\xC3\xA9\n", u"S", u"k", u"D", 64, u"\u00e9t\u00e9"},
        StringCase{"UTF-16 file with byte-order mark", std::string(kUtf16Bytes, sizeof kUtf16Bytes - 1), u"S", u"k", u"D", 64, u"w"},
        StringCase{"keys before the first section", "top=1\n[S]\n", u"", u"top", u"D", 64, u"1"},
        StringCase{"text after the ']' ignored", "[S] junk\nk=w\n", u"S", u"k", u"D", 64, u"w"},
        StringCase{"header without ']' is no section", "[Sec\nk=v\n", u"Sec", u"k", u"D", 64, u"D"},
        StringCase{"name runs to the last ']'", "[T]]\nk=x\n", u"T]", u"k", u"D", 64, u"x"},
        StringCase{"old Mac line ends", "[S]\rk=v\rj=w\r", u"S", u"j", u"D", 64, u"w"},
        StringCase{"end-of-file mark trimmed", "[S]\nk=v\x1A\n", u"S", u"k", u"D", 64, u"v"}),
    [](const ::testing::TestParamInfo<StringCase>& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

struct IntCase {
  std::string value;  // the text after "k="
  std::uint32_t expected;
};

TEST(ProfileInt, ReadsLeadingNumberAndWrapsAsWindowsDoes) {
  const IntCase cases[] = {
      {"12abc", 12},          {"abc", 0},          {"-1", 0xFFFFFFFF},          {"0x1F", 31},
      {"0X1F", 0},            {"0b101", 5},        {"0o17", 15},                {"  +7", 7},
      {"4294967297", 1},      {"-0x10", 0xFFFFFFF0}, {"0x", 0},                 {"1 2", 1},
      {"\"12\"", 12},         {"\" 12\"", 12},     {"-4294967297", 0xFFFFFFFF}, {"0xFFFFFFFFF", 0xFFFFFFFF},
      {"- 1", 0},             {"\"\"", 5},         {"", 5},
      // The value is read through a 30-character buffer: 29 characters count.
      {"00000000000000000000000000012", 12},       {"000000000000000000000000000012", 1},
  };
  testing::ScratchDir dir;
  for (const IntCase& c : cases) {
    const std::u16string path = dir.Write("Config.ini", "[S]\nk=" + c.value + "\n");
    EXPECT_EQ(RealProfile().GetInt(u"S", u"K", 5, path), c.expected) << "k=" << c.value;
  }
}

TEST(ProfileInt, MissingFileSectionOrKeyGivesTheDefault) {
  testing::ScratchDir dir;
  const std::u16string path = dir.Write("Config.ini", "[S]\nk=7\nbare\n");
  EXPECT_EQ(RealProfile().GetInt(u"S", u"k", -3, dir.PathOf("none.ini")), static_cast<std::uint32_t>(-3));
  EXPECT_EQ(RealProfile().GetInt(u"T", u"k", 4, path), 4u);
  EXPECT_EQ(RealProfile().GetInt(u"S", u"j", 4, path), 4u);
  EXPECT_EQ(RealProfile().GetInt(u"S", u"bare", 4, path), 4u);
  EXPECT_EQ(RealProfile().GetInt(u"S", u"k", 4, dir.PathOf("")), 4u);  // a directory
}

TEST(ProfileString, MissingFileGivesTheDefault) {
  testing::ScratchDir dir;
  char16_t buffer[16];
  EXPECT_EQ(RealProfile().GetString(u"S", u"k", u"VX94C6.bin", buffer, 16, dir.PathOf("none.ini")), 10u);
  EXPECT_EQ(std::u16string(buffer), u"VX94C6.bin");
}

TEST(SimProfile, ReadsTheSimulatedFilesAndClosesThem) {
  sim::SimPlatform sim;
  sim.Files().Write(u"C:\\Tool\\Config.ini", std::string_view("[Cmp_Ver]\nCMPLEN=4\n"));
  ProfileApi& profile = *sim.Apis().profile;
  EXPECT_EQ(profile.GetInt(u"Cmp_Ver", u"CMPLEN", 8, u"c:\\tool\\config.ini"), 4u);
  sim::SimFileFaults unreadable;
  unreadable.readFails = true;
  sim.Files().SetFaults(u"C:\\Tool\\Config.ini", unreadable);
  EXPECT_EQ(profile.GetInt(u"Cmp_Ver", u"CMPLEN", 8, u"C:\\Tool\\Config.ini"), 8u);  // unreadable = missing
  EXPECT_EQ(sim.Files().OpenCount(), 0u);
}

}  // namespace
}  // namespace vx::platform
