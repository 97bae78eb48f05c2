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

// A file name may hold any bytes; converting it must not make it another
// file's name.
TEST(Text, NativePathsKeepEveryByte) {
  const std::string names[] = {
      "plain/Config.ini", "caf\xC3\xA9/\xF0\x9F\x98\x80", "latin1-\xE9t\xE9", "a\x80z", "a\xE2\x82",
      "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF\xFE", "dir\xEF\xBF\xBD",
  };
  for (const std::string& name : names) {
    EXPECT_EQ(ToNativePath(FromNativePath(name)), name) << ::testing::PrintToString(name);
  }
  EXPECT_NE(FromNativePath("dir\xFF"), FromNativePath("dir\xEF\xBF\xBD"));
  EXPECT_EQ(FromNativePath("caf\xC3\xA9"), u"caf\u00e9");  // valid UTF-8 is text as usual
  // Text that never was a file name converts as UTF-8, unpaired surrogates
  // outside the escaped range as U+FFFD.
  EXPECT_EQ(ToNativePath(u"\u00e9"), "\xC3\xA9");
  EXPECT_EQ(ToNativePath(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace vx
