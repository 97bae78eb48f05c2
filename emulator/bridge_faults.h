// Faults injected into an emulated bridge. A rule matches commands that
// reach the bridge (by their running number, SCSI opcode or SPI opcode) and
// replaces or spoils their handling, a given number of times.
#pragma once

#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "emulator/bridge_io.h"

namespace vx::emu {

inline constexpr std::uint32_t kEveryTime = std::numeric_limits<std::uint32_t>::max();

enum class FaultKind : std::uint8_t {
  CallFails,    // the request fails on its way; nothing is carried out
  Status,       // the bridge answers `status` (and `sense`) without carrying the command out
  ShortData,    // carried out, but only `length` bytes of in-data reach the host
  IgnoreWrite,  // acknowledged with good status, not carried out
  Vanish,       // the bridge is unplugged: this request fails, its paths stop opening
  StickBusy,    // carried out, then the flash reports busy for ever
  CorruptByte,  // carried out, but in-data byte `length` reaches the host inverted
};

struct Fault {
  FaultKind kind;
  std::uint8_t status = 0;
  std::uint32_t length = 0;
  Sense sense{};

  static Fault CallFails() { return {FaultKind::CallFails}; }
  static Fault Status(std::uint8_t status, Sense sense = {}) { return {FaultKind::Status, status, 0, sense}; }
  static Fault ShortData(std::uint32_t delivered) { return {FaultKind::ShortData, 0, delivered}; }
  static Fault IgnoreWrite() { return {FaultKind::IgnoreWrite}; }
  static Fault Vanish() { return {FaultKind::Vanish}; }
  static Fault StickBusy() { return {FaultKind::StickBusy}; }
  static Fault CorruptByte(std::uint32_t offset) { return {FaultKind::CorruptByte, 0, offset}; }
};

enum class UsbFaultKind : std::uint8_t {
  Fails,          // the transfer fails with `errorCode`
  ShortTransfer,  // only `length` bytes are transferred
};

struct UsbFault {
  UsbFaultKind kind;
  std::uint32_t errorCode = usb_error::kGenFailure;
  std::uint32_t length = 0;

  static UsbFault Fails(std::uint32_t errorCode = usb_error::kGenFailure) { return {UsbFaultKind::Fails, errorCode}; }
  static UsbFault ShortTransfer(std::uint32_t length) { return {UsbFaultKind::ShortTransfer, 0, length}; }
};

class FaultPlan {
 public:
  // The command with this running number (the first command to reach the
  // bridge is number 1).
  void OnCommand(std::uint64_t number, Fault fault);
  // Commands with this SCSI opcode (byte 0 of the command block).
  void OnOpcode(std::uint8_t opcode, Fault fault, std::uint32_t times = kEveryTime);
  // SPI commands (0xE7 / 0xE8) whose first SPI byte is this opcode.
  void OnSpiOpcode(std::uint8_t spiOpcode, Fault fault, std::uint32_t times = kEveryTime);
  // Control requests, all of them or those with this setup value.
  void OnUsbRequest(UsbFault fault, std::uint32_t times = kEveryTime, std::optional<std::uint16_t> value = {});
  void Clear();

  // The fault for one command or request, if a rule matches; the first
  // matching rule wins and uses up one of its times.
  std::optional<Fault> Take(std::uint64_t number, std::span<const std::uint8_t> cdb);
  std::optional<UsbFault> TakeUsb(const UsbRequest& request);

 private:
  struct CommandRule {
    std::optional<std::uint64_t> number;
    std::optional<std::uint8_t> opcode;
    std::optional<std::uint8_t> spiOpcode;
    Fault fault;
    std::uint32_t times;
  };
  struct UsbRule {
    std::optional<std::uint16_t> value;
    UsbFault fault;
    std::uint32_t times;
  };

  std::mutex mutex_;
  std::vector<CommandRule> rules_;
  std::vector<UsbRule> usbRules_;
};

}  // namespace vx::emu
