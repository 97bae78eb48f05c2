// A parsed INI file, answering look-ups by the private-profile rules: section
// and key names compare case-insensitively, white space around names and
// values is dropped, lines starting with ';' are comments, and the first
// matching key of the first matching section wins. The file's text is kept
// once; sections and entries only mark where their names and values lie in
// it, so parsing costs little beyond the text itself.
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
  // A piece of text_.
  struct Span {
    std::size_t start = 0;
    std::size_t length = 0;
  };
  struct Entry {
    Span key;
    std::optional<Span> value;
  };
  struct Section {
    Span name;
    std::size_t firstEntry = 0;  // its entries run to the next section's first
  };

  void ParseLine(std::u16string_view line);
  Span SpanOf(std::u16string_view piece) const;
  std::u16string_view TextOf(Span span) const { return std::u16string_view(text_).substr(span.start, span.length); }

  std::u16string text_;
  std::vector<Section> sections_;
  std::vector<Entry> entries_;
};

// Drops the white space the profile rules ignore around names and values.
std::u16string_view TrimProfileSpace(std::u16string_view text);

}  // namespace vx
