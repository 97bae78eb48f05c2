// A parsed INI file, answering look-ups by the private-profile rules: section
// and key names compare case-insensitively, white space around names and
// values is dropped, lines starting with ';' are comments, and the first
// matching key of the first matching section wins.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class IniReader {
 public:
  // The file's raw bytes: UTF-8 with or without a byte-order mark, or UTF-16
  // (either byte order) with its byte-order mark.
  explicit IniReader(std::string_view bytes);

  // The raw value of key in section (quotes still in place); nullopt when
  // the section or the key is missing, or the key's line has no '='.
  std::optional<std::u16string_view> Find(std::u16string_view section, std::u16string_view key) const;

 private:
  struct Entry {
    std::u16string key;
    std::optional<std::u16string> value;
  };
  struct Section {
    std::u16string name;
    std::vector<Entry> entries;
  };

  void ParseLine(std::u16string_view line);

  std::vector<Section> sections_;
};

// Drops the white space the profile rules ignore around names and values.
std::u16string_view TrimProfileSpace(std::u16string_view text);

}  // namespace vx
