#include "emulator/spi_flash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "emulator/flash_catalogue.h"

namespace vx::emu {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A flash of one catalogue part on its own clock, driven one transaction at a time.
class FlashBench {
 public:
  explicit FlashBench(const FlashPart& part) : flash(part, clock) {}

  void Send(Bytes mosi) { flash.Transfer(mosi, {}); }
  // What the chip drives after the command bytes.
  Bytes Ask(Bytes command, std::size_t answer) {
    const std::size_t n = command.size();
    command.resize(n + answer, 0x00);
    Bytes miso(command.size());
    flash.Transfer(command, miso);
    return Bytes(miso.begin() + static_cast<std::ptrdiff_t>(n), miso.end());
  }
  std::uint8_t Status() { return Ask({spi::kReadStatus}, 1)[0]; }
  void Program(std::uint32_t address, const Bytes& data) {
    Bytes mosi = {spi::kPageProgram, static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
                  static_cast<std::uint8_t>(address)};
    mosi.insert(mosi.end(), data.begin(), data.end());
    Send(mosi);
  }
  Bytes Read(std::uint32_t address, std::size_t n) {
    return Ask({spi::kRead, static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 8),
                static_cast<std::uint8_t>(address)},
               n);
  }
  void Settle() { clock.Advance(60'000); }

  VirtualClock clock;
  SpiFlash flash;
};

const FlashPart& Plain() { return PartForRow(8); }  // one status byte, 256-byte pages, erase 60

TEST(SpiFlash, EachOperationIsBusyForThePartsTimeThenClearsTheLatch) {
  const FlashPart& part = Plain();
  struct Case {
    const char* what;
    Bytes operation;
    std::uint32_t ms;
  };
  const Case cases[] = {
      {"page program", {spi::kPageProgram, 0, 0, 0, 0x12}, part.programMs},
      {"chip erase", {0x60}, part.eraseMs},
      {"status write", {spi::kWriteStatus, 0x00}, part.writeStatusMs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FlashBench bench(part);
    bench.Send({spi::kWriteEnable});
    EXPECT_EQ(bench.Status(), spi::kStatusWel);
    bench.Send(c.operation);
    EXPECT_EQ(bench.Status(), spi::kStatusBusy | spi::kStatusWel);
    bench.clock.Advance(c.ms - 1);
    EXPECT_EQ(bench.Status() & spi::kStatusBusy, spi::kStatusBusy);
    bench.clock.Advance(1);
    EXPECT_EQ(bench.Status(), 0);
  }
  FlashBench bench(part);
  bench.Send({spi::kWriteEnable});
  bench.Send({spi::kWriteDisable});
  EXPECT_EQ(bench.Status(), 0);
}

TEST(SpiFlash, WhileBusyOnlyStatusReadsAreAnswered) {
  FlashBench bench(PartForRow(36));  // two status bytes
  bench.flash.Array()[0] = 0x5A;
  bench.Send({spi::kWriteEnable});
  bench.Program(0x100, {0x00});
  ASSERT_TRUE(bench.flash.Busy());

  EXPECT_EQ(bench.Read(0, 2), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(bench.Ask({0x9F}, 3), (Bytes{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(bench.Ask({spi::kReadStatus2}, 1), Bytes{0x00});
  bench.Send({spi::kWriteEnable});  // ignored: no second operation is started
  bench.Send({spi::kWriteDisable});  // ignored: the latch stays until the program ends
  EXPECT_TRUE(bench.flash.WriteEnabled());

  bench.Settle();
  EXPECT_EQ(bench.Read(0, 1), Bytes{0x5A});
  EXPECT_EQ(bench.Read(0x100, 1), Bytes{0x00});
}

TEST(SpiFlash, PageProgramOnlyClearsBits) {
  FlashBench bench(Plain());
  bench.flash.Array()[0x10] = 0xF0;
  bench.Send({spi::kWriteEnable});
  bench.Program(0x10, {0x3C, 0xAA});
  bench.Settle();
  EXPECT_EQ(bench.Read(0x10, 3), (Bytes{0x30, 0xAA, 0xFF}));

  bench.Send({spi::kWriteEnable});
  bench.Program(0x10, {0xFF, 0x55});  // cannot set bits back
  bench.Settle();
  EXPECT_EQ(bench.Read(0x10, 2), (Bytes{0x30, 0x00}));
}

TEST(SpiFlash, PageProgramWrapsInsideItsPage) {
  struct Case {
    int row;
    std::uint32_t pageSize;
  };
  for (const Case c : {Case{8, 256}, Case{4, 32}, Case{14, 128}}) {
    SCOPED_TRACE(c.pageSize);
    const FlashPart& part = PartForRow(c.row);
    FlashBench bench(part);
    const std::uint32_t page = 4 * c.pageSize;
    bench.Send({spi::kWriteEnable});
    bench.Program(page + c.pageSize - 2, {0x01, 0x02, 0x03, 0x04});
    bench.Settle();
    EXPECT_EQ(bench.Read(page + c.pageSize - 2, 3), (Bytes{0x01, 0x02, 0xFF}));  // next page untouched
    EXPECT_EQ(bench.Read(page, 3), (Bytes{0x03, 0x04, 0xFF}));
  }
}

TEST(SpiFlash, MoreThanAPageKeepsTheLastPageFull) {
  FlashBench bench(PartForRow(4));  // 32-byte pages
  Bytes data(40);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
  bench.Send({spi::kWriteEnable});
  bench.Program(0, data);
  bench.Settle();
  const Bytes page = bench.Read(0, 32);
  for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(page[i], i < 8 ? i + 32 : i) << i;
}

TEST(SpiFlash, ReadRunsAcrossPagesAndWrapsAtTheEndOfTheArray) {
  const FlashPart& part = PartForRow(9);  // 64 KiB
  FlashBench bench(part);
  bench.flash.Array()[part.capacity - 1] = 0x11;
  bench.flash.Array()[0] = 0x22;
  bench.flash.Array()[0x100] = 0x33;
  EXPECT_EQ(bench.Read(part.capacity - 1, 2), (Bytes{0x11, 0x22}));
  EXPECT_EQ(bench.Read(0xFF, 2), (Bytes{0xFF, 0x33}));
  EXPECT_EQ(bench.Read(part.capacity, 1), Bytes{0x22});  // address bits above the array are ignored
}

TEST(SpiFlash, ChipEraseTakesOnlyTheOpcodesThePartKnows) {
  struct Case {
    int row;
    std::uint8_t known;
    std::uint8_t unknown;
  };
  for (const Case c : {Case{8, 0x60, 0xC7}, Case{36, 0xC7, 0x60}, Case{11, 0x62, 0xC7}}) {
    SCOPED_TRACE(c.row);
    FlashBench bench(PartForRow(c.row));
    bench.flash.Array()[0] = 0x00;
    bench.Send({spi::kWriteEnable});
    bench.Send({c.unknown});
    bench.Settle();
    EXPECT_EQ(bench.Read(0, 1), Bytes{0x00});
    bench.Send({c.known});
    bench.Settle();
    EXPECT_EQ(bench.Read(0, 1), Bytes{0xFF});
  }
}

TEST(SpiFlash, OperationsWithoutTheLatchOrEndingOnTheWrongByteAreIgnored) {
  FlashBench bench(Plain());
  bench.flash.Array()[0] = 0x00;
  bench.Program(0x10, {0x00});
  bench.Send({0x60});
  bench.Send({spi::kWriteStatus, 0x0C});
  bench.Send({spi::kWriteEnable, 0x00});
  EXPECT_FALSE(bench.flash.WriteEnabled());

  bench.Send({spi::kWriteEnable});
  bench.Send({0x60, 0x00});                     // erase with a trailing byte
  bench.Send({spi::kWriteStatus, 0x0C, 0x00});  // two status bytes on a one-byte chip
  bench.Send({spi::kPageProgram, 0x00, 0x10});  // address incomplete
  FlashBench noStatusWrite(PartForRow(26));
  noStatusWrite.Send({spi::kWriteEnable});
  noStatusWrite.Send({spi::kWriteStatus, 0x3C});  // a command this part does not have
  EXPECT_EQ(noStatusWrite.Status(), spi::kStatusWel);
  EXPECT_FALSE(bench.flash.Busy());
  EXPECT_EQ(bench.Status(), spi::kStatusWel);
  EXPECT_EQ(bench.Read(0, 1), Bytes{0x00});
  EXPECT_EQ(bench.Read(0x10, 1), Bytes{0xFF});
}

TEST(SpiFlash, FullProtectionRefusesEraseAndProgramAndClearsTheLatch) {
  for (int row : {1, 8, 28, 36, 45}) {  // protect values 0C, 3C, 1C, 7C, 1C
    SCOPED_TRACE(row);
    const FlashPart& part = PartForRow(row);
    FlashBench bench(part);
    bench.Send({spi::kWriteEnable});
    bench.Send({spi::kWriteStatus, part.protectBits});
    bench.Settle();
    EXPECT_EQ(bench.Status(), part.protectBits);
    EXPECT_EQ(bench.flash.ProtectedBytes(), part.capacity);

    bench.Send({spi::kWriteEnable});
    bench.Program(0, {0x00});
    EXPECT_FALSE(bench.flash.Busy());
    EXPECT_FALSE(bench.flash.WriteEnabled());
    bench.Send({spi::kWriteEnable});
    bench.Send({part.chipEraseOpcodes.front()});
    EXPECT_FALSE(bench.flash.Busy());
    EXPECT_FALSE(bench.flash.WriteEnabled());
    EXPECT_EQ(bench.Read(0, 1), Bytes{0xFF});
  }
}

TEST(SpiFlash, PartialProtectionCoversTheTopOfTheArray) {
  const FlashPart& part = PartForRow(1);  // BP bits 0x0C, 1 MiB
  FlashBench bench(part);
  bench.flash.SetStatus(0x04);  // level 1 of 3: the top quarter
  EXPECT_EQ(bench.flash.ProtectedBytes(), part.capacity / 4);
  const std::uint32_t firstProtected = part.capacity - part.capacity / 4;

  bench.Send({spi::kWriteEnable});
  bench.Program(firstProtected, {0x00});
  bench.Send({spi::kWriteEnable});
  bench.Program(firstProtected - 256, {0x00});
  bench.Settle();
  EXPECT_EQ(bench.Read(firstProtected, 1), Bytes{0xFF});
  EXPECT_EQ(bench.Read(firstProtected - 256, 1), Bytes{0x00});

  bench.Send({spi::kWriteEnable});
  bench.Send({part.chipEraseOpcodes.front()});  // refused while any block is protected
  bench.Settle();
  EXPECT_EQ(bench.Read(firstProtected - 256, 1), Bytes{0x00});
}

TEST(SpiFlash, StatusWriteNeedsTheLatchOrTheEnableWriteStatusPreCommand) {
  {
    SCOPED_TRACE("latch part");
    FlashBench bench(Plain());
    bench.Send({spi::kEnableWriteStatus});  // not a command this part knows
    bench.Send({spi::kWriteStatus, 0x3C});
    EXPECT_EQ(bench.Status(), 0x00);
    bench.Send({spi::kWriteEnable});
    bench.Send({spi::kWriteStatus, 0x3C});
    bench.Settle();
    EXPECT_EQ(bench.Status(), 0x3C);
  }
  {
    SCOPED_TRACE("0x50 part");
    FlashBench bench(PartForRow(24));
    bench.Send({spi::kWriteEnable});
    bench.Send({spi::kWriteStatus, 0x0C});  // latch alone is not enough
    EXPECT_EQ(bench.Status() & 0x0C, 0);
    bench.Send({spi::kEnableWriteStatus});
    bench.Send({spi::kReadStatus});  // 0x50 arms only the very next transaction
    bench.Send({spi::kWriteStatus, 0x0C});
    EXPECT_EQ(bench.Status() & 0x0C, 0);
    bench.Send({spi::kEnableWriteStatus});
    bench.Send({spi::kWriteStatus, 0x0C});
    bench.Settle();
    EXPECT_EQ(bench.Status(), 0x0C);
  }
}

TEST(SpiFlash, TwoByteStatusWriteSetsTheSecondRegister) {
  FlashBench bench(PartForRow(37));
  bench.Send({spi::kWriteEnable});
  bench.Send({spi::kWriteStatus, 0x7C, 0x02});
  bench.Settle();
  EXPECT_EQ(bench.Status(), 0x7C);
  EXPECT_EQ(bench.Ask({spi::kReadStatus2}, 1), Bytes{0x02});

  bench.Send({spi::kWriteEnable});
  bench.Send({spi::kWriteStatus, 0x00});  // one byte leaves the second register alone
  bench.Settle();
  EXPECT_EQ(bench.Status(), 0x00);
  EXPECT_EQ(bench.Ask({spi::kReadStatus2}, 1), Bytes{0x02});
}

TEST(SpiFlash, UnknownOpcodesReadAsFloatingBus) {
  FlashBench bench(Plain());
  for (std::uint8_t opcode : {0x15, 0x90, 0xAB, 0x35, 0x4B, 0x00, 0xFF}) {
    EXPECT_EQ(bench.Ask({opcode, 0, 0, 0}, 4), (Bytes{0xFF, 0xFF, 0xFF, 0xFF})) << int(opcode);
  }
}

}  // namespace
}  // namespace vx::emu
