// What reaches an emulated bridge: vendor SCSI commands on its disk
// interface and USB control requests on its WinUSB interface, and what it
// answers. Plain records, free of any platform type.
#pragma once

#include <cstdint>
#include <span>

namespace vx::emu {

namespace scsi {
inline constexpr std::uint8_t kGood = 0x00;
inline constexpr std::uint8_t kCheckCondition = 0x02;

inline constexpr std::uint8_t kReadChipInfo = 0xD0;
inline constexpr std::uint8_t kReadImageSectors = 0xE5;
inline constexpr std::uint8_t kWriteImageSectors = 0xE6;
inline constexpr std::uint8_t kSpiOut = 0xE7;
inline constexpr std::uint8_t kSpiIn = 0xE8;

inline constexpr std::uint32_t kSectorSize = 512;
}  // namespace scsi

// Error codes the host's USB stack reports for a failed control transfer.
namespace usb_error {
inline constexpr std::uint32_t kGenFailure = 31;            // the device stalled the request
inline constexpr std::uint32_t kDeviceNotConnected = 1167;  // the device is gone
}  // namespace usb_error

struct ScsiCommand {
  std::span<const std::uint8_t> cdb;  // cdbLength bytes
  bool dataIn;                        // false for out and for commands without data
  std::uint32_t transferLength;
  std::uint8_t* data;                 // transferLength bytes, source or destination
};

// What a check condition reports as its reason (fixed-format sense data,
// byte 2 and bytes 12-13).
struct Sense {
  std::uint8_t key = 0;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
};

namespace sense {
inline constexpr Sense kInvalidOpcode{0x05, 0x20, 0x00};       // illegal request: invalid command operation code
inline constexpr Sense kInvalidField{0x05, 0x24, 0x00};        // illegal request: invalid field in CDB
inline constexpr Sense kOutOfRange{0x05, 0x21, 0x00};          // illegal request: logical block address out of range
inline constexpr Sense kNoMedium{0x02, 0x3A, 0x00};            // not ready: medium not present
inline constexpr Sense kOperationInProgress{0x02, 0x04, 0x07};  // not ready: operation in progress
}  // namespace sense

struct ScsiResult {
  bool completed;             // false: the request failed on its way, no status
  std::uint8_t status;        // the SCSI status when completed
  Sense sense{};              // with check condition: why, when the bridge says (all 0 when it does not)
  std::uint32_t transferred = 0;  // data bytes that moved, either way
};

struct UsbRequest {
  std::uint8_t requestType;
  std::uint8_t request;
  std::uint16_t value;
  std::uint16_t index;
  std::uint16_t length;
};

struct UsbResult {
  bool ok;
  std::uint32_t transferred;
  std::uint32_t errorCode;  // when not ok
};

}  // namespace vx::emu
