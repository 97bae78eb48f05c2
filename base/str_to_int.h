// Number parsing of the settings reader.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

// StrToIntExW with STIF_SUPPORT_HEX: true and value set when text starts with
// a number (decimal with optional sign, or "0x" followed by hex digits).
bool StrToIntEx(std::u16string_view text, std::int32_t& value);

}  // namespace vx
