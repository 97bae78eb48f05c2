// GetPrivateProfileIntW / GetPrivateProfileStringW over INI files read
// through a backend's file access, and StrToIntExW, so that every backend
// follows the same rules. A file that cannot be opened or read counts as
// missing.
#pragma once

#include "platform/file_api.h"
#include "platform/profile_api.h"

namespace vx::platform {

class IniProfile : public ProfileApi {
 public:
  explicit IniProfile(FileApi& files) : files_(files) {}

  std::uint32_t GetInt(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                       std::u16string_view path) override;
  std::uint32_t GetString(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                          char16_t* buffer, std::uint32_t bufferChars, std::u16string_view path) override;
  bool StrToIntEx(std::u16string_view text, std::int32_t& value) override;

 private:
  FileApi& files_;
};

}  // namespace vx::platform
