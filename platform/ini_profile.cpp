#include "platform/ini_profile.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/profile_integer.h"
#include "base/str_to_int.h"

namespace vx::platform {

namespace {

// GetPrivateProfileIntW reads the value as text into a buffer of this many
// characters, so longer values are cut before they are read as a number.
constexpr std::uint32_t kIntegerTextChars = 30;

// One pair of matching quotes around a value is removed.
std::u16string_view Unquote(std::u16string_view value) {
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Trailing blanks of the default text are dropped, though never its first
// character; the default then loses its quotes like a value from the file.
std::u16string_view DefaultText(std::u16string_view text) {
  while (text.size() > 1 && text.back() == u' ') text.remove_suffix(1);
  return Unquote(text);
}

// The whole of an open file, or nothing when it cannot be read completely.
std::optional<std::string> ReadWholeFile(FileApi& files, FileHandle file) {
  std::uint64_t size = 0;
  if (!files.GetSize(file, size) || size > UINT32_MAX) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  std::uint32_t total = 0;
  std::uint32_t got = 1;
  while (total < bytes.size() && got != 0 &&
         files.Read(file, bytes.data() + total, static_cast<std::uint32_t>(bytes.size() - total), got))
    total += got;
  if (total != bytes.size()) return std::nullopt;
  return bytes;
}

}  // namespace

const IniReader& IniProfile::Parsed(std::u16string_view path) {
  const FileHandle file = files_.OpenForRead(path);
  if (file == FileHandle::None) {
    parsedStamp_.reset();
    parsed_ = IniReader(std::string_view());
    return parsed_;
  }
  FileStamp stamp;
  const bool stamped = files_.GetStamp(file, stamp);
  if (!stamped || !parsedStamp_ || *parsedStamp_ != stamp || parsedPath_ != path) {
    const std::optional<std::string> bytes = ReadWholeFile(files_, file);
    parsed_ = IniReader(bytes ? std::string_view(*bytes) : std::string_view());
    parsedPath_ = path;
    parsedStamp_.reset();
    if (stamped && bytes) parsedStamp_ = stamp;
  }
  files_.Close(file);
  return parsed_;
}

std::uint32_t IniProfile::GetString(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view defaultValue, char16_t* buffer, std::uint32_t bufferChars,
                                    std::u16string_view path) {
  if (buffer == nullptr || bufferChars == 0) return 0;
  std::u16string_view text = DefaultText(defaultValue);
  const std::lock_guard guard(lock_);
  const IniReader& ini = Parsed(path);
  std::optional<std::u16string_view> value;
  if (!TrimProfileSpace(key).empty()) value = ini.Find(section, key);
  if (value) text = Unquote(*value);
  const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), bufferChars - 1));
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = u'\0';
  return count;
}

std::uint32_t IniProfile::GetInt(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                                 std::u16string_view path) {
  char16_t text[kIntegerTextChars];
  const std::uint32_t length = GetString(section, key, u"", text, kIntegerTextChars, path);
  if (length == 0) return static_cast<std::uint32_t>(defaultValue);
  return ParseProfileInteger({text, length});
}

bool IniProfile::StrToIntEx(std::u16string_view text, std::int32_t& value) { return vx::StrToIntEx(text, value); }

}  // namespace vx::platform
