// In-memory files of the simulated machine, the faults a test can give them,
// and the profile reader over them.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_platform.h"

namespace vx::platform::sim {
namespace {

constexpr std::u16string_view kPath = u"C:\\fw\\A.ini";

// "<size> <bytes>" of one open, size and read of up to 16 bytes, naming the step that failed.
std::string OpenAndRead(SimFiles& files, std::u16string_view path) {
  const FileHandle file = files.OpenForRead(path);
  if (file == FileHandle::None) return "open fails";
  std::uint64_t size = 0;
  char buffer[16];
  std::uint32_t got = 0;
  std::string outcome = files.GetSize(file, size) ? std::to_string(size) : "size fails";
  outcome += files.Read(file, buffer, sizeof buffer, got) ? " " + std::string(buffer, got) : " read fails";
  files.Close(file);
  return outcome;
}

TEST(SimFiles, FaultsShowUpWhereTheyAreSetAndTheProfileReadsOnlyWholeFiles) {
  SimPlatform sim;
  SimFiles& files = sim.Files();
  ProfileApi& profile = *sim.Apis().profile;
  files.Write(kPath, std::string_view("[S]\nk=4\n"));
  SimFileFaults none, open, size, read, shortRead;
  open.openFails = true;
  size.reportedSize = 0x100000000ull;
  read.readFails = true;
  shortRead.readLimit = 4;
  const struct {
    SimFileFaults faults;
    std::string outcome;
    std::uint32_t profileValue;  // 9: the default, as for a missing file
  } cases[] = {{none, "8 [S]\nk=4\n", 4},   {open, "open fails", 9},    {size, "4294967296 [S]\nk=4\n", 9},
               {read, "8 read fails", 9}, {shortRead, "8 [S]\n", 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.outcome);
    ASSERT_TRUE(files.SetFaults(kPath, c.faults));
    EXPECT_EQ(OpenAndRead(files, u"c:\\FW\\a.INI"), c.outcome);
    EXPECT_EQ(profile.GetInt(u"S", u"k", 9, u"c:\\FW\\a.INI"), c.profileValue);
  }
  files.Write(kPath, std::string_view("xy"));  // replacing clears the faults
  EXPECT_EQ(OpenAndRead(files, kPath), "2 xy");
  EXPECT_FALSE(files.SetFaults(u"C:\\fw\\B.ini", {}));
  EXPECT_EQ(files.OpenCount(), 0u);
}

}  // namespace
}  // namespace vx::platform::sim
