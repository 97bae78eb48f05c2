// Whole operations on the flash behind one bridge. Each holds the bridge lock
// for its whole run and returns true on success; failures are cleaned up
// inside (write disable where the flash may be left write-enabled) and never
// escape as exceptions.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"

namespace vx {

bool SetWriteProtection(const DeviceRecord& device, bool protect);
bool EraseChip(const DeviceRecord& device);
bool ProgramFlash(const DeviceRecord& device, std::uint32_t address, const std::uint8_t* data, std::uint32_t length);
bool ReadFlash(const DeviceRecord& device, std::uint32_t address, std::uint8_t* out, std::uint32_t length);

}  // namespace vx
