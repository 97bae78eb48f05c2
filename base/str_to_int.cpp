// StrToIntExW with STIF_SUPPORT_HEX: leading white space and one sign are
// skipped; "0x" (either case) starts a hexadecimal number that must have at
// least one digit; otherwise at least one decimal digit must follow. Reading
// stops at the first character that is not a digit of the chosen base, and
// the value wraps to 32 bits. A sign has no effect on a hexadecimal number.
#include "base/str_to_int.h"

namespace vx {

namespace {

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

int DigitValue(char16_t c, unsigned base) {
  int value = -1;
  if (c >= u'0' && c <= u'9') value = c - u'0';
  else if (c >= u'a' && c <= u'f') value = c - u'a' + 10;
  else if (c >= u'A' && c <= u'F') value = c - u'A' + 10;
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

}  // namespace

bool StrToIntEx(std::u16string_view text, std::int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  unsigned base = 10;
  if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    base = 16;
    negative = false;
    i += 2;
  }
  if (i >= text.size() || DigitValue(text[i], base) < 0) return false;
  std::uint32_t total = 0;
  for (; i < text.size() && DigitValue(text[i], base) >= 0; ++i)
    total = total * base + static_cast<std::uint32_t>(DigitValue(text[i], base));
  value = static_cast<std::int32_t>(negative ? 0u - total : total);
  return true;
}

}  // namespace vx
