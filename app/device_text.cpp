#include "app/device_text.h"

namespace vx {

namespace {

std::u16string HexDigits(std::uint32_t value, int digits) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string text(static_cast<std::size_t>(digits), u'0');
  for (int i = digits - 1; i >= 0; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    value >>= 4;
  }
  return text;
}

}  // namespace

std::u16string VersionText(std::uint32_t firmwareVersion, std::int32_t cmpLen) {
  std::u16string text = HexDigits(firmwareVersion, 8);
  if (cmpLen <= 0) return {};
  if (static_cast<std::size_t>(cmpLen) < text.size()) text.resize(static_cast<std::size_t>(cmpLen));
  return text;
}

std::u16string ChecksumText(std::uint16_t checksum) { return HexDigits(checksum, 4); }

}  // namespace vx
