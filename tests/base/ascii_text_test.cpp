#include "base/ascii_text.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace vx {
namespace {

struct CaseCompare {
  std::u16string_view a;
  std::u16string_view b;
  bool equal;
};

// Only ASCII letters fold: instance IDs and paths differ in their case
// between the system's calls, while other letters stay distinct.
TEST(AsciiText, EqualsIgnoreCaseFoldsOnlyAsciiLetters) {
  const CaseCompare cases[] = {
      {u"USB\\VID_1A2B&PID_0001\\5&2C", u"usb\\vid_1a2b&pid_0001\\5&2c", true},
      {u"Config.INI", u"config.ini", true},
      {u"", u"", true},
      {u"bin", u"bi", false},
      {u"bin", u"bim", false},
      {u"@", u"`", false},        // the characters beside 'A' and 'a' do not fold
      {u"[", u"{", false},
      {u"\u00C4", u"\u00E4", false},  // A with diaeresis, upper and lower
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualsIgnoreCase(c.a, c.b), c.equal) << ToUtf8(c.a) << " / " << ToUtf8(c.b);
    EXPECT_EQ(EqualsIgnoreCase(c.b, c.a), c.equal);
  }
}

TEST(AsciiText, ContainsIgnoreCaseFindsAnywhereAndOnlyWhole) {
  EXPECT_TRUE(ContainsIgnoreCase(u"USBSTOR#Disk&Ven_TARVENIX&Prod_X", u"ven_tarvenix"));
  EXPECT_TRUE(ContainsIgnoreCase(u"abcREMOVABLEMEDIA", u"RemovableMedia"));  // at the very end
  EXPECT_TRUE(ContainsIgnoreCase(u"anything", u""));
  EXPECT_FALSE(ContainsIgnoreCase(u"RemovableMedi", u"RemovableMedia"));
  EXPECT_FALSE(ContainsIgnoreCase(u"", u"a"));
}

TEST(AsciiText, LowerAsciiAndWiden) {
  EXPECT_EQ(LowerAscii(u"HKLM\\SYSTEM\\Z\u00C4"), u"hklm\\system\\z\u00C4");
  EXPECT_EQ(Widen("A\xE9"), u"A\u00E9");  // Latin-1 bytes widen to their code points
}

}  // namespace
}  // namespace vx
