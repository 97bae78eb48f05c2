// Reading a number the way StrToIntExW with STIF_SUPPORT_HEX does.
#include <gtest/gtest.h>

#include <string>

#include "base/str_to_int.h"
#include "base/text.h"
#include "tests/base/str_to_int_cases.h"

namespace vx {
namespace {

TEST(StrToIntEx, MatchesTheWindowsCall) {
  for (const test::StrToIntCase& c : test::StrToIntCases()) {
    SCOPED_TRACE(ToUtf8(c.text));
    std::int32_t value = 77;
    const bool ok = StrToIntEx(c.text, value);
    EXPECT_EQ(ok, c.expected.has_value());
    EXPECT_EQ(value, c.expected.value_or(77));
  }
}

}  // namespace
}  // namespace vx
