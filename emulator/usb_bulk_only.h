// The bulk-only transport of the bridge's mass-storage interface: a 31-byte
// command block wrapper on the bulk OUT endpoint, the data phase, and a
// 13-byte command status wrapper on the bulk IN endpoint.
//
// A data-in phase for which the target has nothing to send (the command
// failed, or produced no data) is ended by stalling bulk IN; the status
// follows once the host has cleared the halt. A wrapper that is not a valid
// command block wrapper halts both endpoints until a reset.
//
// The target's transport faults: Stall halts bulk IN in place of the data
// and the status then reports failure; Hang leaves every transfer
// unanswered until the host resets the device.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "emulator/usb_scsi_target.h"

namespace vx::emu {

enum class UsbStatus : std::uint8_t {
  Ok,
  Stall,     // the endpoint is halted
  NoAnswer,  // nothing to send yet: the host keeps asking (NAK)
};

struct BulkReply {
  UsbStatus status;
  std::vector<std::uint8_t> data;  // bulk IN: what is sent
  std::uint32_t accepted = 0;      // bulk OUT: bytes taken
};

class UsbBulkOnly {
 public:
  explicit UsbBulkOnly(UsbScsiTarget& target) : target_(target) {}

  BulkReply Out(std::span<const std::uint8_t> data);
  BulkReply In(std::uint32_t length);

  // Endpoint halt, set and cleared by the host's standard requests.
  bool Halted(std::uint8_t endpoint) const;
  void Halt(std::uint8_t endpoint);
  void ClearHalt(std::uint8_t endpoint);
  // Bulk-only mass storage reset, or a reset of the whole device.
  void Reset();

 private:
  enum class Phase : std::uint8_t { Command, DataOut, DataIn, Status, Hung };

  BulkReply TakeCommand(std::span<const std::uint8_t> wrapper);
  void Run();
  void PrepareStatus(std::uint8_t status, std::uint32_t residue);

  UsbScsiTarget& target_;
  Phase phase_ = Phase::Command;
  bool inHalted_ = false;
  bool outHalted_ = false;
  bool needsReset_ = false;
  std::uint32_t tag_ = 0;
  std::uint32_t expected_ = 0;  // dCBWDataTransferLength
  bool dataIn_ = false;
  std::vector<std::uint8_t> cdb_;
  std::vector<std::uint8_t> data_;  // data-out gathered, or data-in to send
  std::size_t sent_ = 0;
  std::vector<std::uint8_t> status_;
};

}  // namespace vx::emu
