// The record of everything that reached an emulated bridge, for tests that
// check exact command sequences. Three views:
//  - every vendor SCSI command (command block, direction, transfer length,
//    outcome), failed ones included;
//  - every SPI command the bridge put on its SPI bus (its command bytes:
//    opcode and address or register bytes), in order;
//  - every USB control request with its outcome.
// A request whose device path did not open never reached the bridge and is
// not recorded. Each view keeps only its most recent entries, so that a long
// run (a whole 16 MiB read is some 130000 commands) does not grow the record
// without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "emulator/bridge_io.h"

namespace vx::emu {

struct ScsiTraceEntry {
  std::vector<std::uint8_t> cdb;  // cdbLength bytes
  bool dataIn;
  std::uint32_t transferLength;
  bool completed;       // false: the request failed on its way
  std::uint8_t status;  // SCSI status when completed
};

struct SpiTraceEntry {
  std::vector<std::uint8_t> command;  // opcode, then address or register bytes
  bool dataIn;
  std::uint32_t dataLength;
};

struct UsbTraceEntry {
  UsbRequest request;
  bool ok;
  std::uint32_t transferred;
};

// "06 02 00 28 00": bytes as two upper-case hex digits, space-separated.
std::string HexBytes(std::span<const std::uint8_t> bytes);

// Entries each view keeps unless told otherwise: far more than any test
// looks at.
inline constexpr std::size_t kKeptTraceEntries = 10000;

class BridgeTrace {
 public:
  // Each view keeps at most the `entries` most recent entries from now on
  // (0: records nothing); those beyond are dropped at once.
  void Keep(std::size_t entries);

  void Record(ScsiTraceEntry entry);
  void Record(SpiTraceEntry entry);
  void Record(UsbTraceEntry entry);
  void Clear();

  std::vector<ScsiTraceEntry> Scsi() const;
  std::vector<SpiTraceEntry> Spi() const;
  std::vector<UsbTraceEntry> Usb() const;
  // The first byte of every SPI command, e.g. "06 02 05 05 04".
  std::string SpiOpcodes() const;

 private:
  mutable std::mutex mutex_;
  std::size_t kept_ = kKeptTraceEntries;
  std::deque<ScsiTraceEntry> scsi_;
  std::deque<SpiTraceEntry> spi_;
  std::deque<UsbTraceEntry> usb_;
};

}  // namespace vx::emu
