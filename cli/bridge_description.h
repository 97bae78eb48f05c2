// The texts the program shows for a bridge.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/device_record.h"
#include "cli/machine_search.h"

namespace vx::cli {

// A bridge as the list command shows it: its record, and on Linux the block
// device of its disk.
struct FoundBridge {
  DeviceRecord record;
  std::optional<BlockDevice> blockDevice;
};

// The bridge with its block device looked up on the machine.
FoundBridge FindBlockDevice(const DeviceRecord& device);

// Everything the list command shows for one bridge, one line a field.
std::string DescribeBridge(const FoundBridge& bridge);

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
