#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "flash/flash_identify.h"
#include "flash/flash_table.h"

namespace vx {
namespace {

constexpr std::uint32_t Id(std::uint8_t b0, std::uint8_t b1 = 0, std::uint8_t b2 = 0, std::uint8_t b3 = 0) {
  return std::uint32_t{b0} | std::uint32_t{b1} << 8 | std::uint32_t{b2} << 16 | std::uint32_t{b3} << 24;
}

struct LookupCase {
  std::uint32_t idWord;
  std::uint8_t opcode;
  int row;
};

class LookupFlashTest : public testing::TestWithParam<LookupCase> {};

TEST_P(LookupFlashTest, SelectsRow) {
  const LookupCase& c = GetParam();
  const FlashLookup found = LookupFlash(c.idWord, c.opcode);
  EXPECT_EQ(found.index, c.row);
  if (c.row < 0) {
    EXPECT_EQ(found.descriptor, nullptr);
  } else {
    EXPECT_EQ(found.descriptor, &FlashDescriptorTable[c.row]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    C2, LookupFlashTest,
    testing::Values(LookupCase{Id(0xC2, 0x20, 0x15), 0x9F, 8},   // any other 20 xx
                    LookupCase{Id(0xC2, 0x22, 0x12), 0x9F, 1},   // 22 family, unlisted device
                    LookupCase{Id(0xC2, 0x20, 0x10), 0x9F, 9}, LookupCase{Id(0xC2, 0x20, 0x11), 0xAF, 3},
                    LookupCase{Id(0xC2, 0x20, 0x17), 0x9F, 6}, LookupCase{Id(0xC2, 0x20, 0x18), 0x9F, 10},
                    LookupCase{Id(0xC2, 0x22, 0x10), 0x9F, 4}, LookupCase{Id(0xC2, 0x22, 0x11), 0x9F, 5},
                    LookupCase{Id(0xC2, 0x05), 0x90, 9}, LookupCase{Id(0xC2, 0x10), 0xCF, 3},
                    LookupCase{Id(0xC2, 0x16), 0xDF, 6}, LookupCase{Id(0xC2, 0x17), 0xEF, 10},
                    LookupCase{Id(0xC2, 0x19), 0x90, 8},
                    LookupCase{Id(0xC2, 0x20, 0x10), 0x90, 1},   // byte-pair key does not apply to 0x90
                    LookupCase{Id(0xC2, 0x10), 0xAB, 1}));       // opcode the maker has no rule for

INSTANTIATE_TEST_SUITE_P(
    EF_BF_1F, LookupFlashTest,
    testing::Values(LookupCase{Id(0xEF, 0x40, 0x18), 0x9F, 46}, LookupCase{Id(0xEF, 0x17, 0x17), 0x90, 46},
                    LookupCase{Id(0xEF, 0x30, 0x13), 0x9F, 47}, LookupCase{Id(0xEF, 0x12), 0xAB, 47},
                    LookupCase{Id(0xEF, 0x12), 0x94, 47}, LookupCase{Id(0xEF, 0x40, 0x17), 0x9F, 45},
                    LookupCase{Id(0xEF, 0x17), 0x9F, 45},
                    LookupCase{Id(0xBF, 0x26, 0x01), 0x9F, 27}, LookupCase{Id(0xBF, 0x26, 0x02), 0x9F, 26},
                    LookupCase{Id(0xBF, 0x26, 0x03), 0x9F, 23}, LookupCase{Id(0xBF, 0x26, 0x02), 0xAB, 23},
                    LookupCase{Id(0xBF, 0x25, 0x26, 0x01), 0x9F, 27}, LookupCase{Id(0xBF, 0x25, 0x26, 0x02), 0x90, 26},
                    LookupCase{Id(0xBF, 0x25, 0x26, 0x03), 0x9F, 23}, LookupCase{Id(0xBF, 0x00, 0x48), 0x90, 24},
                    LookupCase{Id(0xBF, 0x25, 0x4B, 0x01), 0x9F, 25}, LookupCase{Id(0xBF, 0x00, 0x48), 0xAB, 23},
                    LookupCase{Id(0x1F, 0x47), 0x9F, 15}, LookupCase{Id(0x1F, 0x65), 0x15, 14},
                    LookupCase{Id(0x1F, 0x87), 0x1D, 16}, LookupCase{Id(0x1F, 0x47), 0x90, 11},
                    LookupCase{Id(0x1F, 0x66), 0x15, 11}));

INSTANTIATE_TEST_SUITE_P(
    OtherMakers, LookupFlashTest,
    testing::Values(LookupCase{Id(0x1C, 0x05), 0x90, 18}, LookupCase{Id(0x1C, 0x14), 0x90, 19},
                    LookupCase{Id(0x1C, 0x20, 0x10), 0x9F, 18}, LookupCase{Id(0x1C, 0x70, 0x15), 0x9F, 19},
                    LookupCase{Id(0x1C, 0x70, 0x16), 0x9F, 17}, LookupCase{Id(0x1C, 0x05), 0x9F, 17},
                    LookupCase{Id(0x20, 0x20, 0x10), 0x9F, 21}, LookupCase{Id(0x20, 0xBA, 0x11), 0x9F, 22},
                    LookupCase{Id(0x20, 0x20, 0x10), 0x90, 20}, LookupCase{Id(0x20, 0x20, 0x14), 0x9F, 20},
                    LookupCase{Id(0x9D, 0x7C), 0xAB, 32}, LookupCase{Id(0x9D, 0x40, 0x7C), 0x9F, 32},
                    LookupCase{Id(0x9D, 0x02), 0xAB, 35}, LookupCase{Id(0x9D, 0x10), 0xAB, 29},
                    LookupCase{Id(0x9D, 0x11), 0xAB, 30}, LookupCase{Id(0x9D, 0x7B), 0xAB, 31},
                    LookupCase{Id(0x9D, 0x40, 0x7D), 0x9F, 33}, LookupCase{Id(0x9D, 0x40, 0x7E), 0x9F, 34},
                    LookupCase{Id(0x9D, 0x7C, 0x00), 0x9F, 28},  // 9F examines byte 2 only
                    LookupCase{Id(0x9D, 0x7C), 0x90, 28},
                    LookupCase{Id(0xC8, 0x05), 0x90, 40}, LookupCase{Id(0xC8, 0x10), 0x90, 39},
                    LookupCase{Id(0xC8, 0x11), 0x90, 38}, LookupCase{Id(0xC8, 0x12), 0x90, 37},
                    LookupCase{Id(0xC8, 0x14), 0x90, 41}, LookupCase{Id(0xC8, 0x17), 0x90, 42},
                    LookupCase{Id(0xC8, 0x13), 0x90, 36}, LookupCase{Id(0xC8, 0x40, 0x13), 0x9F, 37},
                    LookupCase{Id(0xC8, 0x40, 0x15), 0x9F, 41}, LookupCase{Id(0xC8, 0x40, 0x18), 0x9F, 42},
                    LookupCase{Id(0xC8, 0x40, 0x14), 0x9F, 36},
                    LookupCase{Id(0x37, 0x15), 0x90, 44}, LookupCase{Id(0x37, 0x30, 0x16), 0x9F, 44},
                    LookupCase{Id(0x37, 0x15), 0x9F, 43}));

INSTANTIATE_TEST_SUITE_P(
    Unknown, LookupFlashTest,
    testing::Values(LookupCase{Id(0x7F, 0x9D, 0x7C), 0x9F, -1}, LookupCase{Id(0x7F, 0xC2, 0x20, 0x11), 0x90, -1},
                    LookupCase{Id(0x00), 0x9F, -1}, LookupCase{0xFFFFFFFF, 0xAB, -1},
                    LookupCase{Id(0x01, 0x20, 0x10), 0x9F, -1}));

// Rows 0, 2, 7, 12 and 13 are identification candidates only; every other row
// is the answer to some ID.
TEST(LookupFlash, ReturnsEveryRowButTheCandidateOnlyOnes) {
  const std::uint8_t makers[] = {0xC2, 0x1F, 0x1C, 0x20, 0xBF, 0x9D, 0xC8, 0x37, 0xEF};
  const std::uint8_t opcodes[] = {0x15, 0x90, 0x9F, 0xAB};
  std::set<int> returned;
  for (std::uint8_t maker : makers) {
    for (std::uint8_t opcode : opcodes) {
      for (int b1 = 0; b1 < 256; ++b1) {
        for (int b2 = 0; b2 < 256; ++b2) {
          // Only 0xBF chips are told apart by byte 3 (0x01 or 0x02).
          for (std::uint8_t b3 : {0x01, 0x02}) {
            if (b3 == 0x02 && maker != 0xBF) continue;
            const FlashLookup found = LookupFlash(Id(maker, b1, b2, b3), opcode);
            ASSERT_GE(found.index, 0);
            returned.insert(found.index);
          }
        }
      }
    }
  }
  std::set<int> expected;
  for (int row = 0; row < kFlashTableRows; ++row) expected.insert(row);
  for (int candidateOnly : {0, 2, 7, 12, 13}) expected.erase(candidateOnly);
  EXPECT_EQ(returned, expected);
}

}  // namespace
}  // namespace vx
