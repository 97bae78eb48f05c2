// The vendor-command operations on a bridge's disk interface, each one
// request built and sent. Every operation returns true on success; none
// retries. Only ReadChipInfo takes the bridge lock; the callers of the others
// (the flash layer) hold it.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

// Data of an in command arrives in a scratch buffer and is
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
