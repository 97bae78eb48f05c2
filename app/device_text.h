// The texts the updater forms from what a bridge reports.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

// The firmware version as eight upper-case hexadecimal digits, most
// significant byte first, cut to its first cmpLen characters (all eight when
// cmpLen is larger, none when it is 0 or negative).
std::u16string VersionText(std::uint32_t firmwareVersion, std::int32_t cmpLen);

// A 16-bit checksum as four upper-case hexadecimal digits.
std::u16string ChecksumText(std::uint16_t checksum);

}  // namespace vx
