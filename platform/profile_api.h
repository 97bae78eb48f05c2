// Private-profile (INI) reading, shaped after GetPrivateProfileIntW and
// GetPrivateProfileStringW, and the number reading of the settings, shaped
// after StrToIntExW.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx::platform {

class ProfileApi {
 public:
  virtual ~ProfileApi() = default;

  // GetPrivateProfileIntW: the integer value of key in section, or
  // defaultValue when the file, section or key is missing or the value is
  // empty. A value that starts with no number gives 0, as on Windows.
  virtual std::uint32_t GetInt(std::u16string_view section, std::u16string_view key,
                               std::int32_t defaultValue, std::u16string_view path) = 0;

  // GetPrivateProfileStringW: copies the value (or defaultValue) into buffer,
  // cut to bufferChars - 1 characters and terminated; returns the number of
  // characters stored, terminator excluded.
  virtual std::uint32_t GetString(std::u16string_view section, std::u16string_view key,
                                  std::u16string_view defaultValue, char16_t* buffer,
                                  std::uint32_t bufferChars, std::u16string_view path) = 0;

  // StrToIntExW with STIF_SUPPORT_HEX: true and value set when text starts
  // with a number (decimal with optional sign, or "0x" and hex digits).
  virtual bool StrToIntEx(std::u16string_view text, std::int32_t& value) = 0;
};

}  // namespace vx::platform
