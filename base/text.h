// UTF-16 text helpers. All system text (paths, instance IDs, names, settings)
// is UTF-16, held either in std::u16string or in fixed, zero-terminated
// char16_t buffers of the device record.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vx {

// Characters in a path / ID / name buffer, terminator included.
inline constexpr std::size_t kTextChars = 260;

// Text: invalid UTF-8 becomes U+FFFD, and so does an unpaired surrogate.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// File names: Linux allows any bytes but '/' and NUL in them, so the
// conversion must not lose any. Valid UTF-8 converts as text; each byte that
// is no part of valid UTF-8 becomes the unpaired surrogate U+DC80..U+DCFF,
// which ToNativePath turns back into that byte.
std::string ToNativePath(std::u16string_view path);
std::u16string FromNativePath(std::string_view path);

// The text of a zero-terminated buffer of N characters (stops at N).
template <std::size_t N>
std::u16string_view TextOf(const char16_t (&buffer)[N]) {
  std::size_t n = 0;
  while (n < N && buffer[n] != u'\0') ++n;
  return {buffer, n};
}

// Copies text into a zero-filled buffer of N characters. Returns false and
// leaves the buffer empty when the text and its terminator do not fit.
template <std::size_t N>
bool SetText(char16_t (&buffer)[N], std::u16string_view text) {
  for (auto& c : buffer) c = u'\0';
  if (text.size() >= N) return false;
  for (std::size_t i = 0; i < text.size(); ++i) buffer[i] = text[i];
  return true;
}

template <std::size_t N>
bool IsEmpty(const char16_t (&buffer)[N]) {
  return buffer[0] == u'\0';
}

}  // namespace vx
