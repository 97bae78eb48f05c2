// An emulated VX94C6 bridge with the SPI flash behind it.
//
// On its disk interface it answers the vendor SCSI commands:
//   D0  chip information (6-byte block, 16 bytes in);
//   E7  SPI command out, E8 SPI command in (16-byte blocks: byte 1 the
//       number n of SPI command bytes in bytes 8.., bytes 6-7 the data
//       length): the command bytes and the data phase go to the flash as one
//       SPI transaction; for E8 the data phase returns what the flash drives
//       after the command bytes (0xFF where it drives nothing);
//   E5  read and E6 write image sectors (10-byte blocks: bytes 2-5 block
//       address, bytes 7-8 block count): the data phase is read from or
//       written to the flash array at block address * 512. A data phase
//       longer than the whole blocks counted moves whole, or stops after the
//       blocks (a read then delivers fewer bytes than asked), as configured.
// Bytes 4-5 of the 6- and 16-byte blocks must be 1B 7E. A block the bridge
// cannot take (unknown opcode, wrong length, signature, direction, counts
// that disagree with the data phase, sectors beyond the flash) is answered
// with check condition (status 2) and not carried out; its sense data says
// why (illegal request with invalid operation code, invalid field in CDB or
// block address out of range; not ready with medium not present or
// operation in progress).
//
// SPI commands reach the flash only when the mode byte (byte 11 of the chip
// information) says the flash sits on SPI; otherwise they are refused with
// check condition. The bridge's SPI engine reads at least two bytes: an E8
// with a data phase of one byte is refused with check condition too. Image sectors go through the bridge's own firmware path:
// it rewrites the sectors outright (erasing them as needed), whatever the
// flash's block-protect bits say, and refuses with check condition while the
// flash is busy with an operation started over SPI.
//
// On its WinUSB interface it answers the vendor control requests
// C0 F1 value 7E1B index 1 (the 16-byte chip information of that side) and
// C0 F1 value 0 index 0 (two status bytes); others are stalled.
//
// Commands are served one at a time (the bridge is thread-safe); read the
// flash array and the configuration while no command is running.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "emulator/bridge_faults.h"
#include "emulator/bridge_io.h"
#include "emulator/bridge_trace.h"
#include "emulator/chip_info.h"
#include "emulator/flash_part.h"
#include "emulator/spi_flash.h"
#include "emulator/virtual_clock.h"

namespace vx::emu {

// What an image-sector command does with the bytes of its data phase past the
// last whole block it counts.
enum class SectorTail : std::uint8_t {
  Moved,    // they move with the blocks
  Dropped,  // only whole blocks move: a write ignores the rest, a read delivers less
};

struct BridgeConfig {
  ChipInfoBlock chipInfo = DiskChipInfo({});
  SectorTail sectorTail = SectorTail::Moved;
  ChipInfoBlock usbChipInfo = UsbChipInfo({});
  std::array<std::uint8_t, 2> usbStatus = {0, 0};
  bool winusbDriver = true;  // false: the WinUSB interface cannot be initialised
};

class Bridge {
 public:
  // A bridge with no flash fitted: SPI reads float to 0xFF.
  explicit Bridge(BridgeConfig config = {});
  Bridge(const VirtualClock& clock, const FlashPart& part, BridgeConfig config = {});
  Bridge(const Bridge&) = delete;
  Bridge& operator=(const Bridge&) = delete;

  ScsiResult ExecuteScsi(const ScsiCommand& command);
  UsbResult ControlTransfer(const UsbRequest& request, std::uint8_t* buffer, std::uint32_t bufferLength);

  // Unplugged, the bridge's paths no longer open and open handles fail.
  bool Present() const { return present_; }
  void Unplug() { present_ = false; }
  void Replug() { present_ = true; }

  BridgeConfig& Config() { return config_; }
  SpiFlash* Flash() { return flash_.get(); }
  FaultPlan& Faults() { return faults_; }
  const BridgeTrace& Trace() const { return trace_; }
  BridgeTrace& Trace() { return trace_; }
  std::uint64_t CommandsReceived() const { return commands_; }

 private:
  ScsiResult Carry(const ScsiCommand& command);
  ScsiResult ReadChipInfo(const ScsiCommand& command);
  ScsiResult Spi(const ScsiCommand& command);
  ScsiResult Sectors(const ScsiCommand& command);
  ScsiResult CarryFault(const Fault& fault, const ScsiCommand& command);
  UsbResult AnswerUsb(const UsbRequest& request, std::uint8_t* buffer, std::uint32_t bufferLength);

  mutable std::mutex mutex_;
  BridgeConfig config_;
  std::unique_ptr<SpiFlash> flash_;
  FaultPlan faults_;
  BridgeTrace trace_;
  std::atomic<bool> present_{true};
  std::atomic<std::uint64_t> commands_{0};
};

}  // namespace vx::emu
