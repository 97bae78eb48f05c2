// GetPrivateProfileIntW / GetPrivateProfileStringW over INI files read
// through a backend's file access, and StrToIntExW, so that every backend
// follows the same rules. A file that cannot be opened or read counts as
// missing. The last file read stays parsed: while its stamp is unchanged, the
// next look-up in it neither reads nor parses it again.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "base/ini_reader.h"
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
  // The parsed file at path (an empty one when it cannot be read); called
  // with lock_ held.
  const IniReader& Parsed(std::u16string_view path);

  FileApi& files_;
  std::mutex lock_;  // guards the parsed file
  std::u16string parsedPath_;
  std::optional<FileStamp> parsedStamp_;  // none: read again next time
  IniReader parsed_{std::string_view()};
};

}  // namespace vx::platform
