// Texts and what StrToIntExW with STIF_SUPPORT_HEX reads from them: the table
// that the project's own reading must agree with, here and, on Windows,
// side by side with the real call.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::test {

struct StrToIntCase {
  std::u16string text;
  std::optional<std::int32_t> expected;  // nullopt: no number
};

inline std::vector<StrToIntCase> StrToIntCases() {
  return {
      {u"0x", std::nullopt},   {u"0x ", std::nullopt},    {u"0x-1", std::nullopt}, {u"0x0x12", 0},
      {u"0x12z", 0x12},        {u"-0x10", 0x10},          {u"+0x10", 0x10},        {u"0X1f", 0x1F},
      {u" 12", 12},            {u"\t7", 7},               {u"-12", -12},           {u"+12", 12},
      {u"12 ", 12},            {u"abc", std::nullopt},    {u"", std::nullopt},     {u"- 1", std::nullopt},
      {u"4294967297", 1},      {u"0x100000001", 1},       {u"0xFFFFFFFF", -1},     {u"00x12", 0},
      {u"\u00a07", std::nullopt},  // a no-break space is not white space here
  };
}

}  // namespace vx::test
