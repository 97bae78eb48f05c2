// UTF-8 <-> UTF-16 conversion of paths and names.
#include <gtest/gtest.h>

#include "platform/text.h"

namespace vx {
namespace {

TEST(Text, RoundTripsEveryPlane) {
  const std::u16string text = u"A\u00e9\u20ac\U0001F600z";
  EXPECT_EQ(ToUtf8(text), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(Text, UnpairedSurrogateBecomesReplacement) {
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xD800') + u"a"), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(ToUtf8(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
}

TEST(Text, InvalidUtf8BecomesReplacement) {
  struct Case {
    const char* what;
    std::string bytes;
    std::u16string expected;
  };
  const Case cases[] = {
      {"stray continuation", "a\x80z", u"a\uFFFDz"},
      {"truncated sequence", "a\xE2\x82", u"a\uFFFD\uFFFD"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three-byte", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead byte", "\xFF", u"\uFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.expected) << c.what;
}

}  // namespace
}  // namespace vx
