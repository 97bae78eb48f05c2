#include "base/profile_integer.h"

namespace vx {

namespace {

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return -1;
}

unsigned BaseOfPrefix(char16_t c) {
  switch (c) {
    case u'x': return 16;
    case u'o': return 8;
    case u'b': return 2;
    default: return 0;
  }
}

}  // namespace

std::uint32_t ParseProfileInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == u'0' && BaseOfPrefix(text[i + 1]) != 0) {
    base = BaseOfPrefix(text[i + 1]);
    i += 2;
  }
  std::uint32_t total = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i]);
    if (digit < 0 || static_cast<unsigned>(digit) >= base) break;
    total = total * base + static_cast<std::uint32_t>(digit);
  }
  return negative ? 0u - total : total;
}

}  // namespace vx
