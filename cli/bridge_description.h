// The texts the program shows for a bridge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/device_record.h"

namespace vx::cli {

// Everything the list command shows for one bridge, one line a field.
std::string DescribeBridge(const DeviceRecord& device);

// value as `digits` upper-case hexadecimal digits.
std::string HexText(std::uint32_t value, int digits);
// The flash's ID bytes in the order the chip sent them (the manufacturer
// first), as --sim-flash takes them.
std::string FlashIdBytes(std::uint32_t flashId);
// "row 47, ID EF3013, page 256 bytes", or "not identified".
std::string FlashChipText(const DeviceRecord& device);
// text, or "(none)" when it is empty.
std::string TextOrNone(std::u16string_view text);
// The drive letters, each without its colon.
std::vector<std::string> DriveLetters(const DeviceRecord& device);

}  // namespace vx::cli
