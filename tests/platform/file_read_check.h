// The reading that the firmware loaders rely on, the same for every
// backend's real files: a file read in chunks arrives whole, and a read
// comes back short only at the end of the file.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/file_api.h"
#include "tests/support/scratch_dir.h"

namespace vx::test {

inline void ExpectReadsWholeFileAndStopsAtItsEnd(platform::FileApi& files, const ScratchDir& dir) {
  const platform::FileHandle file = files.OpenForRead(dir.Write("code.bin", "abcdef"));
  ASSERT_NE(file, platform::FileHandle::None);
  std::uint64_t size = 0;
  ASSERT_TRUE(files.GetSize(file, size));
  EXPECT_EQ(size, 6u);
  char buffer[16];
  std::uint32_t got = 0;
  for (const std::string expected : {"abcd", "ef", ""}) {
    ASSERT_TRUE(files.Read(file, buffer, 4, got));
    EXPECT_EQ(std::string(buffer, got), expected);
  }
  files.Close(file);
}

}  // namespace vx::test
