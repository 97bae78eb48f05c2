// Files through the Windows calls: reading as the firmware loaders do, and
// refusing what is no plain file.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "platform/win32/win32_files.h"
#include "tests/platform/file_read_check.h"
#include "tests/support/scratch_dir.h"

namespace vx::platform::win32_backend {
namespace {

TEST(Win32Files, ReadsWholeFileAndStopsAtItsEnd) {
  Win32Files files;
  test::ExpectReadsWholeFileAndStopsAtItsEnd(files, test::ScratchDir());
}

// A second reader may open a file that is open already; a closed handle
// reads nothing.
TEST(Win32Files, SharesReadingAndFailsOnClosedHandles) {
  const test::ScratchDir dir;
  Win32Files files;
  const std::u16string path = dir.Write("a.eep", "xy");
  const FileHandle first = files.OpenForRead(path);
  const FileHandle second = files.OpenForRead(path);
  ASSERT_NE(first, FileHandle::None);
  ASSERT_NE(second, FileHandle::None);
  files.Close(second);
  char buffer[2];
  std::uint32_t got = 7;
  EXPECT_TRUE(files.Read(first, buffer, 2, got));
  EXPECT_EQ(got, 2u);
  files.Close(first);
  std::uint64_t size = 0;
  EXPECT_FALSE(files.GetSize(FileHandle::None, size));
  EXPECT_FALSE(files.Read(FileHandle::None, buffer, 2, got));
  EXPECT_EQ(got, 0u);
}

TEST(Win32Files, RefusesWhatIsNoReadablePlainFile) {
  const test::ScratchDir dir;
  dir.Write("a", "x");
  Win32Files files;
  for (const std::u16string& path : {dir.PathOf("missing.bin"), dir.PathOf(""), std::u16string(),
                                     std::u16string(u"CON"), std::u16string(u"NUL"),  // devices, not files
                                     // an embedded terminator must not open the shorter path
                                     dir.PathOf("a") + std::u16string(1, u'\0') + u"b"}) {
    EXPECT_EQ(files.OpenForRead(path), FileHandle::None) << ToUtf8(path);
  }
}

}  // namespace
}  // namespace vx::platform::win32_backend
