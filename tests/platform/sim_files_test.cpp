// In-memory files of the simulated machine and the faults a test can give them.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_files.h"

namespace vx::platform::sim {
namespace {

SimFileFaults Faults(void (*set)(SimFileFaults&)) {
  SimFileFaults faults;
  set(faults);
  return faults;
}

struct Outcome {
  bool opened = false;
  bool sized = false;
  std::uint64_t size = 0;
  bool read = false;
  std::string bytes;
};

Outcome OpenAndRead(SimFiles& files, std::u16string_view path) {
  Outcome outcome;
  const FileHandle file = files.OpenForRead(path);
  outcome.opened = file != FileHandle::None;
  if (!outcome.opened) return outcome;
  outcome.sized = files.GetSize(file, outcome.size);
  char buffer[16] = {};
  std::uint32_t got = 0;
  outcome.read = files.Read(file, buffer, sizeof buffer, got);
  outcome.bytes.assign(buffer, got);
  files.Close(file);
  return outcome;
}

TEST(SimFiles, FaultsShowUpWhereTheyAreSet) {
  SimFiles files;
  files.Write(u"C:\\fw\\A.bin", std::string_view("abcdef"));
  Outcome plain = OpenAndRead(files, u"c:\\FW\\a.BIN");
  EXPECT_TRUE(plain.opened && plain.sized && plain.read);
  EXPECT_EQ(plain.size, 6u);
  EXPECT_EQ(plain.bytes, "abcdef");

  files.SetFaults(u"C:\\fw\\A.bin", Faults([](SimFileFaults& f) { f.openFails = true; }));
  EXPECT_FALSE(OpenAndRead(files, u"C:\\fw\\A.bin").opened);

  files.SetFaults(u"C:\\fw\\A.bin", Faults([](SimFileFaults& f) { f.reportedSize = 0x100000000ull; }));
  EXPECT_EQ(OpenAndRead(files, u"C:\\fw\\A.bin").size, 0x100000000ull);

  files.SetFaults(u"C:\\fw\\A.bin", Faults([](SimFileFaults& f) { f.readFails = true; }));
  EXPECT_FALSE(OpenAndRead(files, u"C:\\fw\\A.bin").read);

  files.SetFaults(u"C:\\fw\\A.bin", Faults([](SimFileFaults& f) { f.readLimit = 4; }));
  EXPECT_EQ(OpenAndRead(files, u"C:\\fw\\A.bin").bytes, "abcd");

  files.Write(u"C:\\fw\\A.bin", std::string_view("xy"));  // replacing clears the faults
  EXPECT_EQ(OpenAndRead(files, u"C:\\fw\\A.bin").bytes, "xy");
  EXPECT_EQ(files.OpenCount(), 0u);
}

TEST(SimFiles, RemovedFileIsGone) {
  SimFiles files;
  files.Write(u"C:\\a.bin", std::string_view("a"));
  files.Remove(u"C:\\A.bin");
  EXPECT_FALSE(OpenAndRead(files, u"C:\\a.bin").opened);
}

}  // namespace
}  // namespace vx::platform::sim
