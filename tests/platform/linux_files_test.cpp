// The Linux backend on real files: reading them as the firmware loaders do,
// and the profile reader, with the results Windows gives for the same files.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "base/text.h"
#include "platform/linux/linux_files.h"
#include "platform/linux/linux_platform.h"
#include "platform/profile_api.h"
#include "tests/platform/file_read_check.h"
#include "tests/platform/profile_cases.h"
#include "tests/support/scratch_dir.h"

namespace vx::platform::linux_backend {
namespace {

using test::ScratchDir;

TEST(LinuxFiles, ReadsWholeFileAndStopsAtItsEnd) {
  LinuxFiles files;
  test::ExpectReadsWholeFileAndStopsAtItsEnd(files, ScratchDir());
}

TEST(LinuxFiles, RefusesWhatIsNoReadablePlainFile) {
  ScratchDir dir;
  ASSERT_EQ(::mkfifo((dir.Path() / "pipe").c_str(), 0600), 0);
  dir.Write("a", "x");
  LinuxFiles files;
  for (const std::u16string& path : {dir.PathOf("missing.bin"), dir.PathOf(""), dir.PathOf("pipe"), std::u16string(),
                                     // an embedded terminator must not open the shorter path
                                     dir.PathOf("a") + std::u16string(1, u'\0') + u"b"}) {
    EXPECT_EQ(files.OpenForRead(path), FileHandle::None) << ToUtf8(path);
  }
}

ProfileApi& RealProfile() { return *LinuxPlatform().profile; }

TEST(ProfileString, ReadsAsWindowsDoes) {
  ScratchDir dir;
  for (const test::ProfileStringCase& c : test::ProfileStringCases()) {
    SCOPED_TRACE(c.what);
    const std::u16string path = dir.Write("Config.ini", c.file);
    char16_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    const std::uint32_t length = RealProfile().GetString(c.section, c.key, c.defaultValue, buffer, c.bufferChars, path);
    EXPECT_EQ(std::u16string(buffer, length), c.expected);
    EXPECT_EQ(buffer[length], u'\0');
  }
}

TEST(ProfileInt, ReadsLeadingNumberAndWrapsAsWindowsDoes) {
  ScratchDir dir;
  for (const auto& [value, expected] : test::ProfileIntCases()) {
    const std::u16string path = dir.Write("Config.ini", "[S]\nk=" + value + "\n");
    EXPECT_EQ(RealProfile().GetInt(u"S", u"K", 5, path), expected) << "k=" << value;
  }
}

TEST(Profile, MissingFileGivesTheDefault) {
  ScratchDir dir;
  char16_t buffer[16];
  for (const std::u16string& path : {dir.PathOf("none.ini"), dir.PathOf("")}) {  // nothing there, a directory
    EXPECT_EQ(RealProfile().GetString(u"S", u"k", u"VX94C6.bin", buffer, 16, path), 10u);
    EXPECT_EQ(std::u16string(buffer), u"VX94C6.bin");
    EXPECT_EQ(RealProfile().GetInt(u"S", u"k", -3, path), static_cast<std::uint32_t>(-3));
  }
}

}  // namespace
}  // namespace vx::platform::linux_backend
