#include "base/ascii_text.h"

#include <algorithm>

namespace vx {

namespace {

char16_t LowerAsciiChar(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

std::u16string LowerAscii(std::u16string_view text) {
  std::u16string lowered(text);
  std::ranges::transform(lowered, lowered.begin(), LowerAsciiChar);
  return lowered;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return std::ranges::equal(a, b, {}, LowerAsciiChar, LowerAsciiChar);
}

bool ContainsIgnoreCase(std::u16string_view haystack, std::u16string_view needle) {
  // Iterators rather than ranges: clang's libFuzzer build cannot form the
  // subrange that std::ranges::search returns with this standard library.
  const auto same = [](char16_t a, char16_t b) { return LowerAsciiChar(a) == LowerAsciiChar(b); };
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(), same) != haystack.end() ||
         needle.empty();
}

std::u16string Widen(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

}  // namespace vx
