#include "base/ini_reader.h"

#include "base/text.h"
#include "base/ascii_text.h"

namespace vx {

namespace {

// White space, plus the end-of-file mark (Ctrl-Z) old editors leave behind.
bool IsProfileSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A; }

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return out;
}

// The file's text as UTF-16, byte-order mark removed.
std::u16string DecodeIniText(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return FromUtf8(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  return FromUtf8(bytes);
}

}  // namespace

std::u16string_view TrimProfileSpace(std::u16string_view text) {
  while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
  return text;
}

IniReader::IniReader(std::string_view bytes) : text_(DecodeIniText(bytes)) {
  std::u16string_view rest = text_;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of(u"\r\n");
    ParseLine(rest.substr(0, end));
    if (end == std::u16string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

IniReader::Span IniReader::SpanOf(std::u16string_view piece) const {
  return {static_cast<std::size_t>(piece.data() - text_.data()), piece.size()};
}

void IniReader::ParseLine(std::u16string_view line) {
  line = TrimProfileSpace(line);
  if (line.empty() || line.front() == u';') return;
  if (line.front() == u'[') {
    // The name runs to the last ']' of the line; anything after it is ignored.
    const std::size_t close = line.rfind(u']');
    if (close != std::u16string_view::npos) {
      sections_.push_back({SpanOf(TrimProfileSpace(line.substr(1, close - 1))), entries_.size()});
      return;
    }
  }
  // Lines before the first section header belong to a section without a name.
  if (sections_.empty()) sections_.push_back({});
  Entry entry;
  const std::size_t equals = line.find(u'=');
  entry.key = SpanOf(TrimProfileSpace(line.substr(0, equals)));
  if (equals != std::u16string_view::npos) entry.value = SpanOf(TrimProfileSpace(line.substr(equals + 1)));
  entries_.push_back(entry);
}

std::optional<std::u16string_view> IniReader::Find(std::u16string_view section, std::u16string_view key) const {
  section = TrimProfileSpace(section);
  key = TrimProfileSpace(key);
  for (std::size_t s = 0; s < sections_.size(); ++s) {
    if (!EqualsIgnoreCase(TextOf(sections_[s].name), section)) continue;
    const std::size_t end = s + 1 < sections_.size() ? sections_[s + 1].firstEntry : entries_.size();
    for (std::size_t e = sections_[s].firstEntry; e < end; ++e) {
      const Entry& entry = entries_[e];
      if (!EqualsIgnoreCase(TextOf(entry.key), key)) continue;
      if (!entry.value) return std::nullopt;
      return TextOf(*entry.value);
    }
    return std::nullopt;  // only the first section of that name is searched
  }
  return std::nullopt;
}

}  // namespace vx
