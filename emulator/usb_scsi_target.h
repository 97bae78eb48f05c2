// The SCSI target behind the bridge's mass-storage interface. It answers
// the standard commands that a host's disk driver and a PC BIOS send by
// themselves, and passes every vendor-specific command block (operation
// codes 0xC0 and above) to the bridge, whose running command number counts
// these alone.
//
// Faults of a UsbFaultPlan are applied to the vendor commands: Fail and
// Vanish through the bridge's own fault plan, Stall and Hang are left for
// the transport to act out (TransportFault).
//
// Its disk is the flash's disk-image area, in 512-byte blocks: block 0 sits
// at flash address 0x2800 and the disk ends with the flash. Disk reads and
// writes go straight to the flash array, as the bridge's firmware serves
// them; while the flash is busy with an operation started over SPI they get
// "not ready".
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "emulator/bridge.h"
#include "emulator/usb_faults.h"

namespace vx::emu {

struct ScsiOutcome {
  enum class Kind : std::uint8_t {
    Good,
    CheckCondition,  // the sense data tells why
    Failed,          // the request failed on its way (no status)
  };
  Kind kind;
  std::uint32_t dataLength = 0;  // bytes of a data-in phase that the target filled
};

class UsbScsiTarget {
 public:
  UsbScsiTarget(Bridge& bridge, UsbFaultPlan& faults) : bridge_(bridge), faults_(faults) {}

  // Runs one command block. For a data-in command `data` is the host's
  // buffer, as long as the host expects; for data-out it holds what the host
  // sent.
  ScsiOutcome Execute(std::span<const std::uint8_t> cdb, bool dataIn, std::span<std::uint8_t> data);

  // Stall or Hang when the last command executed is to be answered so.
  std::optional<UsbFaultAction> TransportFault() const { return transportFault_; }
  std::uint32_t DiskBlocks() const;

 private:
  ScsiOutcome Standard(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data);
  ScsiOutcome Vendor(std::span<const std::uint8_t> cdb, bool dataIn, std::span<std::uint8_t> data);
  ScsiOutcome Inquiry(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data);
  ScsiOutcome RequestSense(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data);
  ScsiOutcome ReadCapacity(bool sixteen, std::span<std::uint8_t> data);
  ScsiOutcome ModeSense(bool ten, std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data);
  ScsiOutcome Blocks(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data);
  ScsiOutcome Check(const Sense& sense);
  ScsiOutcome Answer(std::span<const std::uint8_t> answer, std::uint32_t allocation, std::span<std::uint8_t> data);

  Bridge& bridge_;
  UsbFaultPlan& faults_;
  Sense sense_;
  std::optional<UsbFaultAction> transportFault_;
};

}  // namespace vx::emu
