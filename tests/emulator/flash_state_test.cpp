#include "emulator/flash_state.h"

#include <gtest/gtest.h>

#include "emulator/flash_catalogue.h"

namespace vx::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The array and both status bytes come back; a file of the array alone (as
// written before the status was kept) still reads, with the status the chip
// powers up with; anything else is refused and changes nothing.
TEST(FlashState, KeepsArrayAndStatusAndReadsArrayOnlyFiles) {
  VirtualClock clock;
  SpiFlash flash(PartForRow(37), clock);  // 512 KiB, two status bytes
  flash.Array()[0x2800] = 0x5A;
  flash.SetStatus(0x7C, 0x02);
  const Bytes saved = SaveFlashState(flash);
  ASSERT_EQ(saved.size(), 512 * 1024 + 8u);
  EXPECT_EQ(Bytes(saved.end() - 8, saved.end()), (Bytes{'V', 'X', 'S', 'R', 1, 2, 0x7C, 0x02}));

  SpiFlash loaded(PartForRow(37), clock);
  std::string error;
  ASSERT_TRUE(LoadFlashState(saved, loaded, error));
  EXPECT_EQ(loaded.Array()[0x2800], 0x5A);
  EXPECT_EQ(loaded.Status(0), 0x7C);
  EXPECT_EQ(loaded.Status(1), 0x02);

  SpiFlash old(PartForRow(24), clock);  // powers up protected
  Bytes arrayOnly(64 * 1024, 0x11);
  old.SetStatus(0x00);
  ASSERT_TRUE(LoadFlashState(arrayOnly, old, error));
  EXPECT_EQ(old.Array()[100], 0x11);
  EXPECT_EQ(old.Status(0), 0x0C);

  Bytes badMark = saved;
  badMark[saved.size() - 8] = 'W';
  for (const Bytes& bad : {Bytes(saved.begin(), saved.end() - 1), badMark}) {
    SpiFlash untouched(PartForRow(37), clock);
    EXPECT_FALSE(LoadFlashState(bad, untouched, error));
    EXPECT_EQ(untouched.Array()[0x2800], 0xFF);
    EXPECT_EQ(untouched.Status(0), 0x00);
  }
}

}  // namespace
}  // namespace vx::emu
