// UTF-8 <-> UTF-16 conversion of paths and names.
#include <gtest/gtest.h>

#include "base/text.h"

namespace vx {
namespace {

TEST(Text, RoundTripsEveryPlaneAndReplacesUnpairedSurrogates) {
  const std::u16string text = u"A\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(ToUtf8(text), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800') + u"a"), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(Text, InvalidUtf8BecomesReplacement) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"a\x80z", u"a\uFFFDz"},                               // stray continuation
      {"a\xE2\x82", u"a\uFFFD\uFFFD"},                       // truncated sequence
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                         // overlong slash
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},               // overlong three-byte
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},               // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // beyond U+10FFFF
      {"\xFF", u"\uFFFD"},                                   // invalid lead byte
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(FromUtf8(bytes), expected) << ::testing::PrintToString(bytes);
}

}  // namespace
}  // namespace vx
