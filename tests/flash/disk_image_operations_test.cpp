#include <gtest/gtest.h>

#include "flash/disk_image_operations.h"
#include "tests/flash/flash_bridge_fixture.h"

namespace vx {
namespace {

using test::Bytes;
using test::FlashBridgeTest;

// Transfers of up to 32 KiB, without a flash descriptor; a 1-byte read
// transfers 2 and hands back one. A failing transfer ends the operation.
TEST_F(FlashBridgeTest, DiskImageMovesInTransfersOf32KOrFails) {
  FitRow(46);
  device.flashChip = nullptr;
  const Bytes image = test::Pattern(40000, 8);
  ASSERT_TRUE(WriteDiskImage(device, 10240, image.data(), 40000));
  EXPECT_EQ(FlashBytes(10240, 40000), image);
  Bytes back(40000);
  ASSERT_TRUE(ReadDiskImage(device, 10240, back.data(), 40000));
  EXPECT_EQ(back, image);
  Bytes single = {0xAA, 0xAA};
  ASSERT_TRUE(ReadDiskImage(device, 10240, single.data(), 1));
  EXPECT_EQ(single, (Bytes{image[0], 0xAA}));
  std::vector<std::string> commands;
  for (const auto& entry : bridge->Trace().Scsi()) {
    commands.push_back(emu::HexBytes(entry.cdb) + " / " + std::to_string(entry.transferLength));
  }
  // 7232 bytes are 14 whole blocks and 64 bytes more; the count is rounded down.
  EXPECT_EQ(commands, (std::vector<std::string>{
                          "E6 00 00 00 00 14 00 00 40 00 / 32768", "E6 00 00 00 00 54 00 00 0E 00 / 7232",
                          "E5 00 00 00 00 14 00 00 40 00 / 32768", "E5 00 00 00 00 54 00 00 0E 00 / 7232",
                          "E5 00 00 00 00 14 00 00 00 00 / 2"}));

  bridge->Trace().Clear();
  Bytes buffer(40000, 0xAA);
  const std::uint64_t next = bridge->CommandsReceived() + 1;
  bridge->Faults().OnCommand(next + 1, emu::Fault::CallFails());
  bridge->Faults().OnCommand(next + 2, emu::Fault::Status(2));
  EXPECT_FALSE(WriteDiskImage(device, 10240, buffer.data(), 40000));
  EXPECT_FALSE(ReadDiskImage(device, 10240, buffer.data(), 40000));
  EXPECT_EQ(Commands(), 3u);
  EXPECT_EQ(buffer, Bytes(40000, 0xAA));
  EXPECT_TRUE(AllReleased());
}

}  // namespace
}  // namespace vx
