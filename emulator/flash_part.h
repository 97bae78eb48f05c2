// What an emulated SPI flash chip is: its size, its status register, the
// commands it knows and how long its internal operations take. The part
// catalogue (flash_catalogue.h) holds one FlashPart per emulated chip.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::emu {

inline constexpr std::uint32_t kKiB = 1024;
inline constexpr std::uint32_t kMiB = 1024 * kKiB;

// The answer of one identification command. The chip takes headerBytes
// address or dummy bytes after the opcode, then drives `bytes` on the bus,
// starting over while the host keeps clocking. For 0x90 an odd address
// starts the answer at its second byte (device before manufacturer).
struct IdAnswer {
  std::uint8_t opcode;
  std::uint8_t headerBytes;
  std::vector<std::uint8_t> bytes;
};

struct FlashPart {
  std::string name;
  int row = -1;                    // the flash-table row identification must select; -1: none
  std::uint32_t capacity = 0;      // bytes, a power of two
  std::uint32_t pageSize = 256;    // bytes, a power of two
  std::uint8_t statusBytes = 1;    // 1, or 2 when write-status takes a second byte
  std::uint8_t protectBits = 0;    // block-protect bits of status byte 0; all set = whole array
  bool hasWriteStatus = true;      // false: opcode 0x01 is unknown to the chip
  bool writeStatusNeedsEwsr = false;  // write-status is taken only right after 0x50
  // Whether power-up sets every block-protect bit, whatever was stored; the
  // other parts keep their status register's bits across power cycles.
  bool powersUpProtected = false;
  std::vector<std::uint8_t> chipEraseOpcodes;
  std::vector<IdAnswer> ids;
  std::uint32_t programMs = 1;     // busy time of one page program
  std::uint32_t eraseMs = 0;       // busy time of a chip erase
  std::uint32_t writeStatusMs = 0; // busy time of a status write
};

}  // namespace vx::emu
