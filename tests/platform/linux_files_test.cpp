// Real file reading as the firmware loaders use it.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "platform/linux/linux_files.h"
#include "tests/platform/temp_dir.h"

namespace vx::platform::linux_backend {
namespace {

TEST(LinuxFiles, ReadsWholeFileAndStopsAtItsEnd) {
  testing::ScratchDir dir;
  const std::u16string path = dir.Write("code.bin", "abcdef");
  LinuxFiles files;
  const FileHandle file = files.OpenForRead(path);
  ASSERT_NE(file, FileHandle::None);
  std::uint64_t size = 0;
  ASSERT_TRUE(files.GetSize(file, size));
  EXPECT_EQ(size, 6u);
  char buffer[16] = {};
  std::uint32_t got = 0;
  ASSERT_TRUE(files.Read(file, buffer, 4, got));
  EXPECT_EQ(std::string(buffer, got), "abcd");
  ASSERT_TRUE(files.Read(file, buffer, 16, got));  // short only because the file ends
  EXPECT_EQ(std::string(buffer, got), "ef");
  ASSERT_TRUE(files.Read(file, buffer, 16, got));
  EXPECT_EQ(got, 0u);
  files.Close(file);
}

TEST(LinuxFiles, RefusesWhatIsNoReadablePlainFile) {
  testing::ScratchDir dir;
  ASSERT_EQ(::mkfifo((dir.Path() / "pipe").c_str(), 0600), 0);
  LinuxFiles files;
  EXPECT_EQ(files.OpenForRead(dir.PathOf("missing.bin")), FileHandle::None);
  EXPECT_EQ(files.OpenForRead(dir.PathOf("")), FileHandle::None);      // a directory
  EXPECT_EQ(files.OpenForRead(dir.PathOf("pipe")), FileHandle::None);  // would block a reader
  EXPECT_EQ(files.OpenForRead(u""), FileHandle::None);
  // A path with an embedded terminator must not open the shorter path.
  dir.Write("a", "x");
  EXPECT_EQ(files.OpenForRead(dir.PathOf("a") + std::u16string(1, u'\0') + u"b"), FileHandle::None);
}

}  // namespace
}  // namespace vx::platform::linux_backend
