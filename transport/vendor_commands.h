// The vendor commands a bridge accepts on its disk interface, and the sender
// that executes one request. Every operation returns true on success; none
// retries. Only ReadChipInfo takes the bridge lock; the callers of the others
// (the flash layer) hold it.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"
#include "transport/vendor_request.h"

namespace vx {

// Every request is executed with this time-out.
inline constexpr std::uint32_t kPassThroughTimeoutSeconds = 5;
// An SPI command carries its opcode and at most seven address, dummy or
// register bytes inside the 16-byte block.
inline constexpr std::uint8_t kMaxSpiCommandBytes = 8;
inline constexpr std::uint32_t kImageSectorSize = 512;

// Builders: the command blocks, byte for byte. Out data is only read. A
// builder whose arguments cannot be encoded in its block (no command bytes,
// an SPI command of 0 or more than 8 bytes, an SPI data length beyond 16 bits,
// more than 65535 sectors) returns a request with cdbLength 0, which
// SendPassThrough refuses without sending anything.
VendorRequest BuildReadChipInfo(std::uint8_t* out16);
VendorRequest BuildSpiCommandOut(const std::uint8_t* commandBytes, std::uint8_t n, const std::uint8_t* data,
                                 std::uint32_t length);
VendorRequest BuildSpiCommandIn(const std::uint8_t* commandBytes, std::uint8_t n, std::uint8_t* scratch,
                                std::uint32_t transferLength);
VendorRequest BuildWriteImageSectors(std::uint32_t bytePosition, const std::uint8_t* data, std::uint32_t length);
VendorRequest BuildReadImageSectors(std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t length);

// Opens the record's disk path, executes the request with a 5-second
// time-out, closes the path; true when the SCSI status is 0 or 1 and an in
// command delivered every byte asked for. A request
// with an unknown block length, or with a data phase but no buffer, is
// refused before the path is opened. Every request that gets as far as
// opening the path is reported to the request trace, including one whose
// path did not open.
bool SendPassThrough(const DeviceRecord& device, VendorRequest& request);

// The operations. Data of an in command arrives in a scratch buffer and is
// copied to the caller's buffer only on success, so a failed read leaves it
// untouched. SpiCommandIn asked for 1 byte transfers 2 and delivers 1.
bool ReadChipInfo(const DeviceRecord& device, std::uint8_t* out16);
bool SpiCommandOut(const DeviceRecord& device, const std::uint8_t* commandBytes, std::uint8_t n,
                   const std::uint8_t* data, std::uint32_t length);
bool SpiCommandIn(const DeviceRecord& device, const std::uint8_t* commandBytes, std::uint8_t n, std::uint8_t* out,
                  std::uint32_t length);
bool WriteImageSectors(const DeviceRecord& device, std::uint32_t bytePosition, const std::uint8_t* data,
                       std::uint32_t length);
bool ReadImageSectors(const DeviceRecord& device, std::uint32_t bytePosition, std::uint8_t* out,
                      std::uint32_t length);

}  // namespace vx
