// Settings files and what the private-profile calls of Windows read from
// them: the table that every profile reader must agree with. The Linux
// reader is checked against the expected values; on Windows the real calls
// and the project's own reader are checked against them side by side.
// `windows` marks the cases in which the real calls (or Wine's version of
// them) read differently, and how.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vx::test {

enum class OnWindows {
  Same,
  // A file without a byte-order mark is read in the ANSI code page there; the
  // project's reader takes UTF-8, the text encoding of Linux.
  ReadsAnsi,
  // Wine answers the value of a line without a name for an empty key name.
  // The settings never ask for an empty key, so the reader keeps the default.
  WineDiffers,
};

struct ProfileStringCase {
  const char* what;
  std::string file;
  std::u16string section;
  std::u16string key;
  std::u16string expected;
  std::uint32_t bufferChars = 64;
  std::u16string defaultValue = u"D";
  OnWindows windows = OnWindows::Same;
};

inline std::vector<ProfileStringCase> ProfileStringCases() {
  const char utf16[] = "\xFF\xFE[\0S\0]\0\n\0k\0=\0w\0\n\0";
  const std::string names = "[ Sec ]\r\n  Key  =  value  \r\nTabbed=\t v2 \t\r\n";
  const std::string quotes =
      "[S]\nq1=\"abc\"\nq2='abc'\nq3=\"abc'\nq4=\"\nq5=\"\"\nq6=\" a \"\nq7=\"a\"b\"\nq8=\"abcdef\"\n";
  return {
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
      {"empty key name", "[S]\n=v\n", u"S", u"", u"D", 64, u"D", OnWindows::WineDiffers},
      {"value cut to buffer minus one", "[S]\nk=12abc\n", u"S", u"k", u"12a", 4},
      {"buffer of one holds only the terminator", "[S]\nk=12abc\n", u"S", u"k", u"", 1},
      {"default cut too", "[S]\n", u"S", u"k", u"ab", 3, u"abcdef"},
      {"default loses trailing blanks", "", u"S", u"k", u"ab", 64, u"ab  "},
      {"default keeps leading blanks", "", u"S", u"k", u"  ab", 64, u"  ab"},
      {"default loses its quotes", "", u"S", u"k", u"ab", 64, u"\"ab\""},
      {"UTF-8 byte-order mark skipped", "\xEF\xBB\xBF[S]\nk=bom\n", u"S", u"k", u"bom"},
      {"UTF-8 text", "[S]\nk=\xC3\xA9t\xC3\xA9\n", u"S", u"k", u"\u00e9t\u00e9", 64, u"D", OnWindows::ReadsAnsi},
      {"UTF-16 file with byte-order mark", std::string(utf16, sizeof utf16 - 1), u"S", u"k", u"w"},
      {"keys before the first section", "top=1\n[S]\n", u"", u"top", u"1"},
      {"text after the ']' ignored", "[S] junk\nk=w\n", u"S", u"k", u"w"},
      {"header without ']' is no section", "[Sec\nk=v\n", u"Sec", u"k", u"D"},
      {"name runs to the last ']'", "[T]]\nk=x\n", u"T]", u"k", u"x"},
      {"old Mac line ends", "[S]\rk=v\rj=w\r", u"S", u"j", u"w"},
      {"end-of-file mark trimmed", "[S]\nk=v\x1A\n", u"S", u"k", u"v"},
  };
}

// The text after "k=" in section "S", and the number GetPrivateProfileIntW
// reads from it with a default of 5.
inline std::vector<std::pair<std::string, std::uint32_t>> ProfileIntCases() {
  return {
      {"12abc", 12},          {"abc", 0},          {"-1", 0xFFFFFFFF},          {"0x1F", 31},
      {"0X1F", 0},            {"0b101", 5},        {"0o17", 15},                {"  +7", 7},
      {"4294967297", 1},      {"-0x10", 0xFFFFFFF0}, {"0x", 0},                 {"1 2", 1},
      {"\"12\"", 12},         {"\" 12\"", 12},     {"-4294967297", 0xFFFFFFFF}, {"0xFFFFFFFFF", 0xFFFFFFFF},
      {"- 1", 0},             {"\"\"", 5},         {"", 5},
      // The value is read through a 30-character buffer: 29 characters count.
      {"00000000000000000000000000012", 12},       {"000000000000000000000000000012", 1},
  };
}

}  // namespace vx::test
