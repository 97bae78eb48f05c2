// The vendor commands a bridge accepts on its disk interface, and the sender
// that executes one request. Every operation returns true on success; none
// retries. Only ReadChipInfo takes the bridge lock; the callers of the others
// (the flash layer) hold it.
#pragma once

#include <cstdint>

#include "discovery/device_record.h"
#include "transport/vendor_request.h"

namespace vx {

// Builders: the command blocks, byte for byte.
VendorRequest BuildReadChipInfo(std::uint8_t* out16);
VendorRequest BuildSpiCommandOut(const std::uint8_t* commandBytes, std::uint8_t n, const std::uint8_t* data,
                                 std::uint32_t length);
VendorRequest BuildSpiCommandIn(const std::uint8_t* commandBytes, std::uint8_t n, std::uint8_t* scratch,
                                std::uint32_t transferLength);
VendorRequest BuildWriteImageSectors(std::uint32_t bytePosition, const std::uint8_t* data, std::uint32_t length);
VendorRequest BuildReadImageSectors(std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t length);

// Opens the record's disk path, executes the request with a 5-second
// time-out, closes the path; true when the SCSI status is 0 or 1.
bool SendPassThrough(const DeviceRecord& device, VendorRequest& request);

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
