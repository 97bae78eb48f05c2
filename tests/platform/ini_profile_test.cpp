// The profile reader parses a settings file once and answers every look-up
// from that, until the file changes.
#include <gtest/gtest.h>

#include "platform/ini_profile.h"
#include "platform/sim/sim_files.h"

namespace vx::platform {
namespace {

// Sim files that count how often a whole file is read.
class CountingFiles : public sim::SimFiles {
 public:
  int sizes = 0;
  bool GetSize(FileHandle file, std::uint64_t& size) override {
    ++sizes;
    return SimFiles::GetSize(file, size);
  }
};

TEST(IniProfileTest, ReadsAFileOnceUntilItChanges) {
  CountingFiles files;
  IniProfile profile(files);
  files.Write(u"C:\\Config.ini", "[A]\r\nX=1\r\nY=two\r\n[B]\r\nZ=0x10\r\n");
  char16_t text[16];
  EXPECT_EQ(profile.GetInt(u"A", u"X", 7, u"C:\\Config.ini"), 1u);
  EXPECT_EQ(profile.GetString(u"A", u"Y", u"", text, 16, u"C:\\Config.ini"), 3u);
  EXPECT_EQ(std::u16string(text), u"two");
  EXPECT_EQ(profile.GetInt(u"B", u"Z", 7, u"C:\\Config.ini"), 16u);
  EXPECT_EQ(profile.GetInt(u"B", u"missing", 7, u"C:\\Config.ini"), 7u);
  EXPECT_EQ(files.sizes, 1);

  files.Write(u"C:\\Config.ini", "[A]\r\nX=2\r\n");
  EXPECT_EQ(profile.GetInt(u"A", u"X", 7, u"C:\\Config.ini"), 2u);
  EXPECT_EQ(profile.GetInt(u"A", u"Y", 7, u"C:\\Config.ini"), 7u);
  EXPECT_EQ(files.sizes, 2);

  files.Write(u"C:\\Other.ini", "[A]\r\nX=3\r\n");
  EXPECT_EQ(profile.GetInt(u"A", u"X", 7, u"C:\\Other.ini"), 3u);
  EXPECT_EQ(profile.GetInt(u"A", u"X", 7, u"C:\\Missing.ini"), 7u);
  EXPECT_EQ(profile.GetInt(u"A", u"X", 7, u"C:\\Config.ini"), 2u);
  EXPECT_EQ(files.sizes, 4);
  EXPECT_EQ(files.OpenCount(), 0u);
}

}  // namespace
}  // namespace vx::platform
