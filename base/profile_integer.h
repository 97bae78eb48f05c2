// The number in a profile value as GetPrivateProfileIntW reads it: leading
// white space skipped, an optional sign, then a base prefix "0x"
// (hexadecimal), "0o" (octal) or "0b" (binary), or decimal digits. Reading
// stops at the first character that is no digit of the base; no digits at
// all give 0. The value wraps modulo 2^32 and a '-' negates it.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

std::uint32_t ParseProfileInteger(std::u16string_view text);

}  // namespace vx
