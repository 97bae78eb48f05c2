#include "platform/sptd_buffer.h"

#include <gtest/gtest.h>

#include "emulator/bridge_trace.h"

namespace vx::platform {
namespace {

const std::uint8_t kPageProgramCdb[16] = {0xE7, 0x04, 0x00, 0x00, 0x1B, 0x7E, 0x01, 0x00, 0x02, 0x00, 0x28, 0x00};
const std::uint8_t kChipInfoCdb[6] = {0xD0, 0x00, 0x00, 0x00, 0x1B, 0x7E};
std::uint8_t g_data[256];

TEST(SptdBuffer, FollowsTheStructureOfEachPointerWidth) {
  const struct {
    ScsiRequest request;
    std::uint64_t address;
    PointerWidth width;
    const char* structure;  // up to the sense area, which is 32 zero bytes
  } cases[] = {
      {{kPageProgramCdb, 16, ScsiDirection::Out, 256, g_data, 5},
       0x12345678,
       PointerWidth::Bits32,
       // Length, status, path/target/lun, cdb and sense lengths, DataIn, pad, transfer length, time-out,
       // DataBuffer, SenseInfoOffset 48, Cdb, filler
       "2C 00 00 00 01 00 10 20 00 00 00 00 00 01 00 00 05 00 00 00 78 56 34 12 30 00 00 00 "
       "E7 04 00 00 1B 7E 01 00 02 00 28 00 00 00 00 00 00 00 00 00"},
      {{kChipInfoCdb, 6, ScsiDirection::In, 16, g_data, 5},
       0x1122334455667788,
       PointerWidth::Bits64,
       // as above with DataIn 1, the pointer aligned to 8 and eight bytes wide, SenseInfoOffset 56
       "38 00 00 00 01 00 06 20 01 00 00 00 10 00 00 00 05 00 00 00 00 00 00 00 88 77 66 55 44 33 22 11 "
       "38 00 00 00 D0 00 00 00 1B 7E 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
      {{kChipInfoCdb, 6, ScsiDirection::Out, 0, nullptr, 5},
       0xDEADBEEF,
       PointerWidth::Bits32,
       // no data: DataIn 0, no buffer address
       "2C 00 00 00 01 00 06 20 00 00 00 00 00 00 00 00 05 00 00 00 00 00 00 00 30 00 00 00 "
       "D0 00 00 00 1B 7E 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.structure);
    const std::vector<std::uint8_t> buffer = BuildSptdBuffer(c.request, c.address, c.width);
    EXPECT_EQ(emu::HexBytes(std::span(buffer).first(buffer.size() - 32)), c.structure);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.end() - 32, buffer.end()), std::vector<std::uint8_t>(32, 0));
  }
}

}  // namespace
}  // namespace vx::platform
