#include "platform/linux/bridge_ids.h"

#include <gtest/gtest.h>

#include "platform/ini_profile.h"
#include "platform/sim/sim_files.h"

namespace vx::platform::linux_backend {
namespace {

using Ids = std::vector<UsbId>;

TEST(LinuxBridgeIds, ComeFromTheSettingsPairs) {
  const struct {
    const char* settings;  // nullptr: no settings file
    Ids ids;
  } cases[] = {
      {nullptr, {{0x1B7E, 0x94C6}}},  // three default pairs, all the same
      {"[Configuration]\nDevCount=2\n[Update_Device]\nVID1=1b7e\nPID1=94C7\nVID2=0403\nPID2=6001\n",
       {{0x1B7E, 0x94C7}, {0x0403, 0x6001}}},
      {"[Configuration]\nDevCount=1\n[Update_Device]\nVID1=1B7E\nPID1=94C6\nVID2=0403\nPID2=6001\n",
       {{0x1B7E, 0x94C6}}},
      {"[Configuration]\nDevCount=4\n", {}},  // settings that cannot be used name nothing
      {"[Configuration]\nDevCount=0\n", {}},
      {"[Configuration]\nDevCount=2\n[Update_Device]\nVID1=XYZ1\nPID2=12\n", {{0x1B7E, 0x0012}}},
      {"[Configuration]\nDevCount=1\n[Update_Device]\nVID1=1B7E5\nPID1=94C6\n", {{0x1B7E, 0x94C6}}},  // cut to 4
      {"[Configuration]\nDevCount=1\n[Update_Device]\nVID1=\nPID1=94C6\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings ? c.settings : "no file");
    sim::SimFiles files;
    if (c.settings) files.Write(u"C:/Config.ini", c.settings);
    IniProfile profile(files);
    EXPECT_EQ(ReadBridgeIds(profile, u"C:/Config.ini"), c.ids);
  }
}

}  // namespace
}  // namespace vx::platform::linux_backend
