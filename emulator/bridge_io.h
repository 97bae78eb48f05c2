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

struct ScsiResult {
  bool completed;             // false: the request failed on its way, no status
  std::uint8_t status;        // the SCSI status when completed
  std::uint32_t transferred;  // data bytes that moved, either way
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
