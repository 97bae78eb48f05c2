// Private-profile (INI) reading on Windows: GetPrivateProfileIntW,
// GetPrivateProfileStringW and StrToIntExW, the calls whose rules the other
// backends' reader follows.
#pragma once

#include "platform/profile_api.h"

namespace vx::platform::win32_backend {

class Win32Profile final : public ProfileApi {
 public:
  std::uint32_t GetInt(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                       std::u16string_view path) override;
  std::uint32_t GetString(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                          char16_t* buffer, std::uint32_t bufferChars, std::u16string_view path) override;
  bool StrToIntEx(std::u16string_view text, std::int32_t& value) override;
};

}  // namespace vx::platform::win32_backend
