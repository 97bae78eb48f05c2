// An SPI NOR flash chip as the bridge sees it on its SPI bus.
//
// The host (the bridge) runs one transaction per chip select: it clocks the
// command bytes and any data bytes out, and reads back what the chip drives
// on the bus at the same time. The chip decodes the opcode, answers reads
// while they are clocked and carries out program, erase and status writes at
// the end of the transaction, as real chips do when chip select rises.
//
// Rules modelled:
//  - write enable (06) sets the write-enable latch (WEL), write disable (04)
//    clears it; program, erase and status writes need it and clear it when
//    they finish (or are refused for protection);
//  - parts that want it take a status write only right after 0x50;
//  - page program only clears bits (new = old AND data) and wraps inside its
//    page; when more than a page is sent, the last page-full is kept;
//  - block-protect bits: all set protect the whole array, fewer protect the
//    upper 1/2^(all - level) of it; a chip erase is refused while any block
//    is protected, a page program inside the protected area is refused;
//  - program, erase and status writes keep the chip busy for the part's time
//    on the virtual clock; while busy the chip answers status reads only;
//  - the status register's bits are non-volatile, busy and WEL aside; a
//    power cycle ends any operation and clears the latches, and on the parts
//    that power up protected it sets every block-protect bit;
//  - opcodes the chip does not know, and bytes it does not drive, read 0xFF;
//  - commands that must end at a byte boundary (06, 04, 50, 01, 02, erase)
//    are ignored when chip select rises after the wrong number of bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "emulator/flash_part.h"
#include "emulator/virtual_clock.h"

namespace vx::emu {

namespace spi {
inline constexpr std::uint8_t kWriteStatus = 0x01;
inline constexpr std::uint8_t kPageProgram = 0x02;
inline constexpr std::uint8_t kRead = 0x03;
inline constexpr std::uint8_t kWriteDisable = 0x04;
inline constexpr std::uint8_t kReadStatus = 0x05;
inline constexpr std::uint8_t kWriteEnable = 0x06;
inline constexpr std::uint8_t kReadStatus2 = 0x35;
inline constexpr std::uint8_t kEnableWriteStatus = 0x50;
inline constexpr std::uint8_t kReadManufacturerDevice = 0x90;

inline constexpr std::uint8_t kStatusBusy = 0x01;
inline constexpr std::uint8_t kStatusWel = 0x02;
inline constexpr std::uint8_t kStatusSrwd = 0x80;
inline constexpr std::uint8_t kFloating = 0xFF;  // what the bus reads when nothing drives it
}  // namespace spi

class SpiFlash {
 public:
  SpiFlash(const FlashPart& part, const VirtualClock& clock);

  // One transaction. mosi holds every byte the host clocks out (command,
  // address, data or dummy bytes); miso is either empty or as long as mosi
  // and receives the byte the chip drove at each position.
  void Transfer(std::span<const std::uint8_t> mosi, std::span<std::uint8_t> miso);

  const FlashPart& Part() const { return part_; }
  bool Busy() const;
  bool WriteEnabled() const;
  // Status byte 0 or 1 as the chip reports it (busy and WEL included).
  std::uint8_t Status(int index = 0) const;

  // Test and firmware access, bypassing the SPI rules.
  std::span<std::uint8_t> Array() { return array_; }
  std::span<const std::uint8_t> Array() const { return array_; }
  void SetStatus(std::uint8_t byte0, std::uint8_t byte1 = 0);
  // The non-volatile bits of status byte 0 or 1, without busy and WEL.
  std::uint8_t StoredStatus(int index) const { return status_[index == 0 ? 0 : 1]; }
  // Power off and on again: what a chip keeps stays, everything else starts
  // over (a chip is made powered up).
  void PowerCycle();
  void SetStuckBusy(bool stuck) { stuckBusy_ = stuck; }
  // Bytes at the top of the array that the block-protect bits cover.
  std::uint32_t ProtectedBytes() const;

 private:
  void Settle() const;
  void StartBusy(std::uint32_t ms);
  bool KnowsChipErase(std::uint8_t opcode) const;
  const IdAnswer* FindId(std::uint8_t opcode) const;
  void AnswerStatus(std::uint8_t value, std::span<std::uint8_t> miso) const;
  void AnswerRead(std::span<const std::uint8_t> mosi, std::span<std::uint8_t> miso) const;
  void AnswerId(const IdAnswer& id, std::span<const std::uint8_t> mosi, std::span<std::uint8_t> miso) const;
  void WriteStatus(std::span<const std::uint8_t> mosi, bool afterEwsr);
  void PageProgram(std::span<const std::uint8_t> mosi);
  void ChipErase(std::span<const std::uint8_t> mosi);

  FlashPart part_;
  const VirtualClock& clock_;
  std::vector<std::uint8_t> array_;
  std::uint8_t status_[2] = {0, 0};  // stored bits; busy and WEL are kept apart
  bool ewsrArmed_ = false;
  bool stuckBusy_ = false;
  // Settle() finishes an operation lazily when the clock has passed its end.
  mutable bool wel_ = false;
  mutable bool operating_ = false;
  mutable std::uint64_t busyUntilMs_ = 0;
};

}  // namespace vx::emu
