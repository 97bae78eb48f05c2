#include "emulator/spi_flash.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "emulator/flash_catalogue.h"

namespace vx::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;
using B = std::uint8_t;

Bytes Addressed(std::uint8_t opcode, std::uint32_t address, const Bytes& data = {}) {
  Bytes mosi = {opcode, B(address >> 16), B(address >> 8), B(address)};
  for (const std::uint8_t b : data) mosi.push_back(b);
  return mosi;
}

// A flash of one catalogue part (by name, or by the table row it stands for)
// on its own clock, driven one transaction at a time.
struct FlashBench {
  explicit FlashBench(int row) : flash(PartForRow(row), clock) {}
  explicit FlashBench(std::string_view name) : flash(PartNamed(name), clock) {}

  void Send(const Bytes& mosi) { flash.Transfer(mosi, {}); }
  // Write enable, the operation, and time enough for it to end.
  void Write(const Bytes& mosi) {
    Send({spi::kWriteEnable});
    Send(mosi);
    clock.Advance(60'000);
  }
  // What the chip drives for `answer` bytes after the command bytes.
  Bytes Ask(Bytes command, std::size_t answer) {
    const auto n = static_cast<std::ptrdiff_t>(command.size());
    command.resize(command.size() + answer, 0x00);
    Bytes miso(command.size());
    flash.Transfer(command, miso);
    return Bytes(miso.begin() + n, miso.end());
  }
  std::uint8_t Status() { return Ask({spi::kReadStatus}, 1)[0]; }
  Bytes Read(std::uint32_t address, std::size_t n) { return Ask(Addressed(spi::kRead, address), n); }

  VirtualClock clock;
  SpiFlash flash;
};

TEST(SpiFlash, EachOperationIsBusyForThePartsTimeAndAnswersOnlyStatusReadsMeanwhile) {
  const FlashPart& part = PartForRow(36);  // two status bytes, erase C7
  const std::pair<Bytes, std::uint32_t> cases[] = {{Addressed(spi::kPageProgram, 0x100, {0x00}), part.programMs},
                                                   {{0xC7}, part.eraseMs},
                                                   {{spi::kWriteStatus, 0x00}, part.writeStatusMs}};
  for (const auto& [operation, ms] : cases) {
    SCOPED_TRACE(int(operation[0]));
    FlashBench bench(36);
    bench.flash.Array()[0] = 0x5A;
    bench.Send({spi::kWriteEnable});
    EXPECT_EQ(bench.Status(), spi::kStatusWel);
    bench.Send(operation);
    EXPECT_EQ(bench.Status(), spi::kStatusBusy | spi::kStatusWel);
    EXPECT_EQ(bench.Read(0, 2), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(bench.Ask({0x9F}, 3), (Bytes{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bench.Ask({spi::kReadStatus2}, 1), Bytes{0x00});
    bench.Send({spi::kWriteDisable});  // ignored: the latch stays until the operation ends
    bench.clock.Advance(ms - 1);
    EXPECT_EQ(bench.Status(), spi::kStatusBusy | spi::kStatusWel);
    bench.clock.Advance(1);
    EXPECT_EQ(bench.Status(), 0);
    EXPECT_EQ(bench.Read(0, 1), Bytes{operation[0] == 0xC7 ? B(0xFF) : B(0x5A)});
  }
}

TEST(SpiFlash, PageProgramOnlyClearsBitsAndWrapsInsideItsPage) {
  const std::pair<int, std::uint32_t> parts[] = {{8, 256}, {4, 32}, {14, 128}};  // row, page size
  for (const auto& [row, pageSize] : parts) {
    SCOPED_TRACE(pageSize);
    FlashBench bench(row);
    const std::uint32_t page = 4 * pageSize;
    bench.flash.Array()[page] = 0xF0;
    bench.Write(Addressed(spi::kPageProgram, page + pageSize - 2, {0x01, 0x02, 0x3C, 0x04}));
    EXPECT_EQ(bench.Read(page + pageSize - 2, 3), (Bytes{0x01, 0x02, 0xFF}));  // next page untouched
    EXPECT_EQ(bench.Read(page, 3), (Bytes{0x30, 0x04, 0xFF}));                 // old AND new
  }
  // More than a page: the last page-full is kept.
  FlashBench bench(4);
  Bytes data(40);
  std::iota(data.begin(), data.end(), 0);
  bench.Write(Addressed(spi::kPageProgram, 0, data));
  Bytes expected(data.begin() + 32, data.end());
  expected.insert(expected.end(), data.begin() + 8, data.begin() + 32);
  EXPECT_EQ(bench.Read(0, 32), expected);
}

// Transactions sent in turn to the chip of a table row, each given time to
// end: how many started an operation, then the status the chip reports and
// the first byte of its array. That byte holds F0 beforehand; programming 0F
// there gives 00, an erase FF.
TEST(SpiFlash, CommandRules) {
  struct Case {
    const char* what;
    int row;
    int operations;
    std::vector<Bytes> sent;
    std::uint8_t status;
    std::uint8_t first = 0xF0;
  };
  const Bytes wren = {spi::kWriteEnable};
  const Bytes program = Addressed(spi::kPageProgram, 0, {0x0F});
  const std::uint8_t wrsr = spi::kWriteStatus;
  const Case cases[] = {
      {"program", 8, 1, {wren, program}, 0x00, 0x00},
      {"write disable clears the latch", 8, 0, {wren, {spi::kWriteDisable}, program}, 0x00},
      {"program without the latch", 8, 0, {program}, 0x00},
      {"program with its address cut short", 8, 0, {wren, {spi::kPageProgram, 0, 0}}, 0x02},
      {"write enable with a trailing byte", 8, 0, {{spi::kWriteEnable, 0x00}, program}, 0x00},
      {"erase 60", 8, 1, {wren, {0x60}}, 0x00, 0xFF},
      {"erase without the latch", 8, 0, {{0x60}}, 0x00},
      {"erase with a trailing byte", 8, 0, {wren, {0x60, 0x00}}, 0x02},
      {"C7 unknown to a 60 part", 8, 0, {wren, {0xC7}}, 0x02},
      {"erase C7", 36, 1, {wren, {0xC7}}, 0x00, 0xFF},
      {"60 unknown to a C7 part", 36, 0, {wren, {0x60}}, 0x02},
      {"erase 62", 11, 1, {wren, {0x62}}, 0x00, 0xFF},
      {"C7 unknown to a 62 part", 11, 0, {wren, {0xC7}}, 0x02},
      {"status write", 8, 1, {wren, {wrsr, 0x3C}}, 0x3C},
      {"status write without the latch", 8, 0, {{wrsr, 0x3C}}, 0x00},
      {"0x50 unknown to a latch part", 8, 0, {{spi::kEnableWriteStatus}, {wrsr, 0x3C}}, 0x00},
      {"two status bytes on a one-byte chip", 8, 0, {wren, {wrsr, 0x0C, 0x00}}, 0x02},
      {"no status write on this part", 26, 0, {wren, {wrsr, 0x3C}}, 0x02},
      // Row 24's part powers up protected (0C).
      {"status write after 0x50", 24, 1, {{spi::kEnableWriteStatus}, {wrsr, 0x00}}, 0x00},
      {"the latch is not enough on a 0x50 part", 24, 0, {wren, {wrsr, 0x00}}, 0x0E},
      {"0x50 arms only the next", 24, 0, {{spi::kEnableWriteStatus}, {spi::kReadStatus}, {wrsr, 0x00}}, 0x0C},
      // Fully protected (each part's mask is proven by the catalogue test):
      // program and erase are refused and clear the latch.
      {"protected 3C, program", 8, 1, {wren, {wrsr, 0x3C}, wren, program}, 0x3C},
      {"protected 3C, erase", 8, 1, {wren, {wrsr, 0x3C}, wren, {0x60}}, 0x3C},
      {"protected 7C, program", 36, 1, {wren, {wrsr, 0x7C}, wren, program}, 0x7C},
      {"protected 7C, erase", 36, 1, {wren, {wrsr, 0x7C}, wren, {0xC7}}, 0x7C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FlashBench bench(c.row);
    bench.flash.Array()[0] = 0xF0;
    int operations = 0;
    for (const Bytes& mosi : c.sent) {
      bench.Send(mosi);
      operations += bench.flash.Busy() ? 1 : 0;
      bench.clock.Advance(60'000);
    }
    EXPECT_EQ(operations, c.operations);
    EXPECT_EQ(bench.Status(), c.status);
    EXPECT_EQ(bench.Read(0, 1), Bytes{c.first});
  }
}

// Both status bytes are non-volatile: they outlast a power cycle, busy and the
// latches do not. The parts that power up protected are protected again.
TEST(SpiFlash, StatusBytesOutlastPowerCyclesUnlessThePartPowersUpProtected) {
  FlashBench bench(37);
  bench.Write({spi::kWriteStatus, 0x7C, 0x02});
  EXPECT_EQ(bench.Status(), 0x7C);
  EXPECT_EQ(bench.Ask({spi::kReadStatus2}, 1), Bytes{0x02});
  bench.Write({spi::kWriteStatus, 0x1C});  // one byte leaves the second register alone
  bench.Send({spi::kWriteEnable});
  bench.Send(Addressed(spi::kPageProgram, 0, {0x00}));  // unprotected at 0: busy
  bench.flash.PowerCycle();
  EXPECT_EQ(bench.Status(), 0x1C);
  EXPECT_EQ(bench.Ask({spi::kReadStatus2}, 1), Bytes{0x02});
  for (const auto& [row, protect] : {std::pair{15, 0x3C}, {23, 0x0C}, {24, 0x0C}, {25, 0x3C}}) {
    SCOPED_TRACE(row);
    FlashBench protectedPart(row);
    EXPECT_EQ(protectedPart.Status(), protect);
    protectedPart.flash.SetStatus(0x00);
    protectedPart.flash.PowerCycle();
    EXPECT_EQ(protectedPart.Status(), protect);
  }
}

}  // namespace
}  // namespace vx::emu
