#include "flash/flash_table.h"

namespace vx {
namespace {

// Commands every chip in the table shares.
constexpr FlashCommand kWriteEnable{0x06, 1, 0, 0};
constexpr FlashCommand kWriteDisable{0x04, 1, 0, 0};
constexpr FlashCommand kReadStatus{0x05, 1, 1, 0};
constexpr FlashCommand kNone{0, 0, 0, 0};

// Read-ID methods: JEDEC 9F (three bytes), 15 (two bytes), 90 with a 24-bit
// address (four bytes) and AB with three dummy bytes (three bytes).
constexpr FlashCommand kId9F{0x9F, 1, 3, 1};
constexpr FlashCommand kId15{0x15, 1, 2, 1};
constexpr FlashCommand kId90{0x90, 4, 4, 1};
constexpr FlashCommand kIdAB{0xAB, 4, 3, 1};

// Write status register with one (length 2) or two (length 3) status bytes.
constexpr FlashCommand WriteStatus(std::uint32_t length, std::uint32_t pollMs) { return {0x01, length, 0, pollMs}; }
constexpr FlashCommand ChipErase(std::uint32_t opcode, std::uint32_t pollMs) { return {opcode, 1, 0, pollMs}; }
// The 0x50 pre-command some chips need before a status write.
constexpr FlashCommand EnableWriteStatus(std::uint32_t pollMs) { return {0x50, 1, 0, pollMs}; }

constexpr FlashDescriptor Row(std::uint32_t pageSize, FlashCommand readId, FlashCommand writeStatus,
                              std::uint32_t readPollMs, std::uint32_t programPollMs, FlashCommand chipErase,
                              FlashCommand enableWriteStatus, std::uint32_t protectStatus) {
  FlashDescriptor row{};
  row.pageSize = pageSize;
  row.writeEnable = kWriteEnable;
  row.writeDisable = kWriteDisable;
  row.readStatus = kReadStatus;
  row.writeStatus = writeStatus;
  row.read = {0x03, 4, 0, readPollMs};
  row.pageProgram = {0x02, 4, 0, programPollMs};
  row.readId = readId;
  row.chipErase = chipErase;
  row.enableWriteStatus = enableWriteStatus;
  row.protectStatus = protectStatus;
  row.unprotectStatus = 0;
  return row;
}

}  // namespace

// Rows are grouped by manufacturer code: 0 generic; 1-10 C2; 11-16 1F; 17-19 1C;
// 20-22 20; 23-27 BF; 28-35 9D; 36-42 C8; 43-44 37; 45-47 EF. Poll intervals are in
// milliseconds; rd and pp are those of read and page program.
constexpr FlashDescriptor FlashDescriptorTable[kFlashTableRows] = {
    //           page readId            writeStatus         rd pp chipErase              pre-command            protect
    /*  0 */ Row(256, kId9F,            WriteStatus(2, 5),  5, 5, ChipErase(0x60, 1000), kNone,                 0x0C),
    /*  1 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0xC7, 1000), kNone,                 0x0C),
    /*  2 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0x60, 1000), kNone,                 0x0C),
    /*  3 */ Row(256, kId9F,            WriteStatus(2, 10), 1, 1, ChipErase(0x60, 1000), kNone,                 0x0C),
    /*  4 */ Row(32,  kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0x60, 1000), kNone,                 0x0C),
    /*  5 */ Row(32,  kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0x60, 1500), kNone,                 0x0C),
    /*  6 */ Row(256, kId9F,            WriteStatus(2, 40), 1, 1, ChipErase(0x60, 9999), kNone,                 0x3C),
    /*  7 */ Row(256, kId9F,            WriteStatus(2, 40), 1, 1, ChipErase(0x60, 9999), kNone,                 0x3C),
    /*  8 */ Row(256, kId9F,            WriteStatus(2, 40), 1, 1, ChipErase(0x60, 9999), kNone,                 0x3C),
    /*  9 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0x60, 400),  kNone,                 0x0C),
    /* 10 */ Row(256, kId9F,            WriteStatus(2, 40), 1, 1, ChipErase(0x60, 9999), kNone,                 0x3C),
    /* 11 */ Row(256, kId15,            WriteStatus(2, 60), 1, 1, ChipErase(0x62, 1100), kNone,                 0x0C),
    /* 12 */ Row(256, kId15,            WriteStatus(2, 60), 1, 1, ChipErase(0x62, 1100), kNone,                 0x0C),
    /* 13 */ Row(256, kId15,            WriteStatus(2, 60), 1, 1, ChipErase(0x62, 1100), kNone,                 0x0C),
    /* 14 */ Row(128, kId15,            WriteStatus(2, 60), 1, 1, ChipErase(0x62, 1100), kNone,                 0x0C),
    /* 15 */ Row(256, kId9F,            WriteStatus(2, 1),  1, 1, ChipErase(0x60, 9000), kNone,                 0x3C),
    /* 16 */ Row(256, kId9F,            WriteStatus(2, 15), 1, 1, ChipErase(0xC7, 5000), kNone,                 0x3C),
    /* 17 */ Row(256, kId9F,            WriteStatus(2, 10), 1, 1, ChipErase(0xC7, 1000), kNone,                 0x0C),
    /* 18 */ Row(256, kId9F,            WriteStatus(2, 10), 1, 1, ChipErase(0xC7, 1000), kNone,                 0x0C),
    /* 19 */ Row(256, {0x9F, 1, 3, 20}, WriteStatus(2, 15), 1, 1, ChipErase(0xC7, 6000), kNone,                 0x0C),
    /* 20 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0xC7, 850),  kNone,                 0x0C),
    /* 21 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0xC7, 850),  kNone,                 0x0C),
    /* 22 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0xC7, 1700), kNone,                 0x0C),
    /* 23 */ Row(256, kId90,            WriteStatus(2, 10), 1, 1, ChipErase(0x60, 100),  EnableWriteStatus(10), 0x0C),
    /* 24 */ Row(256, kId90,            WriteStatus(2, 10), 1, 1, ChipErase(0x60, 100),  EnableWriteStatus(10), 0x0C),
    /* 25 */ Row(256, kId9F,            WriteStatus(2, 1),  1, 2, ChipErase(0x60, 50),   EnableWriteStatus(1),  0x3C),
    /* 26 */ Row(256, kId9F,            kNone,              1, 1, ChipErase(0xC7, 50),   kNone,                 0x00),
    /* 27 */ Row(256, kId9F,            kNone,              1, 1, ChipErase(0xC7, 50),   kNone,                 0x00),
    /* 28 */ Row(256, kIdAB,            WriteStatus(2, 10), 1, 2, ChipErase(0xC7, 15),   kNone,                 0x1C),
    /* 29 */ Row(256, kIdAB,            WriteStatus(2, 10), 1, 2, ChipErase(0xC7, 15),   kNone,                 0x1C),
    /* 30 */ Row(256, kIdAB,            WriteStatus(2, 10), 1, 2, ChipErase(0xC7, 15),   kNone,                 0x1C),
    /* 31 */ Row(256, kIdAB,            WriteStatus(2, 60), 1, 2, ChipErase(0xC7, 60),   kNone,                 0x1C),
    /* 32 */ Row(256, kIdAB,            WriteStatus(2, 60), 1, 2, ChipErase(0xC7, 60),   kNone,                 0x1C),
    /* 33 */ Row(256, kIdAB,            WriteStatus(2, 60), 1, 2, ChipErase(0xC7, 60),   kNone,                 0x1C),
    /* 34 */ Row(256, kIdAB,            WriteStatus(2, 60), 1, 2, ChipErase(0xC7, 60),   kNone,                 0x1C),
    /* 35 */ Row(256, kIdAB,            WriteStatus(2, 2),  1, 2, ChipErase(0xC7, 2),    kNone,                 0x1C),
    /* 36 */ Row(256, kId9F,            WriteStatus(3, 2),  1, 1, ChipErase(0xC7, 1000), kNone,                 0x7C),
    /* 37 */ Row(256, kId9F,            WriteStatus(3, 10), 1, 1, ChipErase(0xC7, 3000), kNone,                 0x7C),
    /* 38 */ Row(256, kId9F,            WriteStatus(3, 10), 1, 1, ChipErase(0xC7, 2000), kNone,                 0x7C),
    /* 39 */ Row(256, kId9F,            WriteStatus(3, 10), 1, 1, ChipErase(0xC7, 1000), kNone,                 0x7C),
    /* 40 */ Row(256, kId9F,            WriteStatus(3, 10), 1, 1, ChipErase(0xC7, 500),  kNone,                 0x7C),
    /* 41 */ Row(256, kId9F,            WriteStatus(3, 2),  1, 1, ChipErase(0xC7, 5000), kNone,                 0x7C),
    /* 42 */ Row(256, kId9F,            WriteStatus(2, 5),  1, 1, ChipErase(0xC7, 5000), kNone,                 0x7C),
    /* 43 */ Row(256, kId9F,            WriteStatus(3, 5),  1, 2, ChipErase(0x60, 8000), kNone,                 0x1C),
    /* 44 */ Row(256, kId9F,            WriteStatus(3, 5),  1, 2, ChipErase(0xC7, 8000), kNone,                 0x1C),
    /* 45 */ Row(256, kId9F,            WriteStatus(2, 10), 1, 1, ChipErase(0x60, 1000), kNone,                 0x1C),
    /* 46 */ Row(256, kId9F,            WriteStatus(2, 10), 1, 1, ChipErase(0xC7, 8000), kNone,                 0x1C),
    /* 47 */ Row(256, kId9F,            WriteStatus(2, 16), 1, 1, ChipErase(0xC7, 1000), kNone,                 0x1C),
};

}  // namespace vx
