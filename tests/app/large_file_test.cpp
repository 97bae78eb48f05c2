// Firmware files far larger than anything an update could write are refused
// by their size, before a byte of them is read.
#include <gtest/gtest.h>

#include "platform/sim/sim_files.h"
#include "tests/app/updater_fixture.h"

namespace vx::testing {
namespace {

TEST(LargeFirmwareFileTest, IsRefusedByItsSizeWithoutBeingRead) {
  const struct {
    std::string name;
    std::uint64_t size;
    std::string box;
  } cases[] = {
      {"fw.bin", 8193, "box Error: The code image is 8193 bytes long; the code area holds at most 8192 bytes. [10]"},
      {"fw.bin", std::uint64_t{2} << 30,
       "box Error: The code image is 2147483648 bytes long; the code area holds at most 8192 bytes. [10]"},
      {"fw.eep", (std::uint64_t{16} << 20) + 1,
       "box Error: The EEP file is 16777217 bytes long; its disk image would end beyond the largest flash (16 MiB). [10]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + std::to_string(c.size));
    UpdaterMachine m;
    m.OldBridge();
    m.WriteFirmware(c.name);
    // Reading it would fail with another message.
    platform::sim::SimFileFaults faults;
    faults.readFails = true;
    faults.reportedSize = c.size;
    m.sim_.Files().SetFaults(kExeDir + FromUtf8(c.name), faults);
    ASSERT_TRUE(m.StartUp());
    EXPECT_EQ(m.dlg_.m_imageLoaded.load(), 0);
    EXPECT_NE(std::ranges::find(m.view_.events, c.box), m.view_.events.end()) << m.view_.Joined();
    EXPECT_EQ(m.view_.LastBox(), "Error: Load FW error!!! [10]");
    if (c.name == "fw.bin") {
      EXPECT_EQ(Images().codeLength, 0u);  // as after any failed load of a ".bin" file
    } else {
      EXPECT_EQ(Bytes(Images().configImage, Images().configImage + ConfigImageSize), kDeviceConfig);
    }
  }
}

}  // namespace
}  // namespace vx::testing
