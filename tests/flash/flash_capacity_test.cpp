// Nothing is programmed past a flash's end, where addresses would wrap
// around onto the configuration and code.
#include <gtest/gtest.h>

#include "flash/flash_capacity.h"
#include "flash/flash_operations.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::Bytes;
using test::FlashBridgeTest;

TEST(FlashCapacityFromId, OnlyAThreeByteJedecAnswerTellsTheSize) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {0x1330EF, 512 * 1024}, {0x1840EF, 16 * 1024 * 1024}, {0x1022C2, 64 * 1024},
      {0x0F22C2, 0},  // below 64 KiB: no size byte
      {0x1940EF, 0},  // beyond 24-bit addresses
      {0x17EF17EF, 0},  // 0x90 answer: maker and device repeated
  };
  for (const auto& [id, capacity] : cases) EXPECT_EQ(FlashCapacityFromId(id), capacity) << std::hex << id;
}

// With a size in the ID nothing past it is sent; without one, the bridge's
// read of the range's last block decides (it refuses blocks beyond its flash).
TEST_F(FlashBridgeTest, NothingIsProgrammedPastTheEndOfTheFlash) {
  FitRow(47);  // 512 KiB
  device.flashId = 0x1330EF;
  const Bytes data = test::Pattern(512, 3);
  const Bytes start = FlashBytes(0, 512);
  EXPECT_FALSE(ProgramFlash(device, 512 * 1024 - 256, data.data(), 512));
  EXPECT_FALSE(ProgramFlash(device, 0xFFFF00, data.data(), 512));
  EXPECT_FALSE(FlashRangeExists(device, 0x2800, 512 * 1024 - 0x2800 + 1));
  EXPECT_EQ(Commands(), 0u);
  EXPECT_EQ(FlashBytes(0, 512), start);
  EXPECT_TRUE(ProgramFlash(device, 512 * 1024 - 512, data.data(), 512));

  device.flashId = 0;
  bridge->Trace().Clear();
  EXPECT_TRUE(FlashRangeExists(device, 0x2800, 512 * 1024 - 0x2800));
  EXPECT_FALSE(FlashRangeExists(device, 0x2800, 512 * 1024 - 0x2800 + 1));
  EXPECT_FALSE(FlashRangeExists(device, 0x2800, 0xFFFFFF));  // refused without asking
  EXPECT_EQ(Commands(), 2u);
  EXPECT_TRUE(AllReleased());
}

}  // namespace
}  // namespace vx
