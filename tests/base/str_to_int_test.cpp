// Reading a number the way StrToIntExW with STIF_SUPPORT_HEX does.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/str_to_int.h"

namespace vx {
namespace {

TEST(StrToIntEx, MatchesTheWindowsCall) {
  struct Case {
    std::u16string text;
    std::optional<std::int32_t> expected;  // nullopt: no number
  };
  const Case cases[] = {
      {u"0x", std::nullopt},   {u"0x ", std::nullopt},    {u"0x-1", std::nullopt}, {u"0x0x12", 0},
      {u"0x12z", 0x12},        {u"-0x10", 0x10},          {u"+0x10", 0x10},        {u"0X1f", 0x1F},
      {u" 12", 12},            {u"\t7", 7},               {u"-12", -12},           {u"+12", 12},
      {u"12 ", 12},            {u"abc", std::nullopt},    {u"", std::nullopt},     {u"- 1", std::nullopt},
      {u"4294967297", 1},      {u"0x100000001", 1},       {u"0xFFFFFFFF", -1},     {u"00x12", 0},
      {u"\u00a07", std::nullopt},  // a no-break space is not white space here
  };
  for (const Case& c : cases) {
    std::int32_t value = 77;
    const bool ok = StrToIntEx(c.text, value);
    EXPECT_EQ(ok, c.expected.has_value()) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(value, c.expected.value_or(77)) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
}  // namespace vx
