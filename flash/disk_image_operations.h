// Writing and reading the disk-image area through the bridge's own sector
// commands, in transfers of up to 32768 bytes, under the bridge lock. No
// flash commands are involved, so no flash descriptor is needed.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

// A length of 0 is a failure: there is no image to move.
bool WriteDiskImage(const DeviceRecord& device, std::uint32_t bytePosition, const std::uint8_t* data,
                    std::uint32_t length);
bool ReadDiskImage(const DeviceRecord& device, std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t length);

}  // namespace vx
