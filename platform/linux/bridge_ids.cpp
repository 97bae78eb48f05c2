#include "platform/linux/bridge_ids.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/text.h"

namespace vx::platform::linux_backend {

namespace {

constexpr std::int32_t kMaxDevCount = 3;
// Four hexadecimal digits and the terminator: a longer value is cut to four.
constexpr std::uint32_t kIdChars = 5;

std::optional<std::uint16_t> HexId(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint32_t value = 0;
  for (const char16_t c : text) {
    std::uint32_t digit = 0;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<std::uint16_t>(value);
}

std::optional<std::uint16_t> ReadId(ProfileApi& profile, std::u16string_view key, std::u16string_view fallback,
                                    std::u16string_view path) {
  char16_t text[kIdChars] = {};
  profile.GetString(u"Update_Device", key, fallback, text, kIdChars, path);
  return HexId(TextOf(text));
}

}  // namespace

std::vector<UsbId> ReadBridgeIds(ProfileApi& profile, std::u16string_view settingsPath) {
  std::vector<UsbId> ids;
  const auto count = static_cast<std::int32_t>(profile.GetInt(u"Configuration", u"DevCount", kMaxDevCount, settingsPath));
  if (count > kMaxDevCount) return ids;
  for (std::int32_t n = 1; n <= count; ++n) {
    const std::u16string number = FromUtf8(std::to_string(n));
    const auto vendor = ReadId(profile, u"VID" + number, u"1B7E", settingsPath);
    const auto product = ReadId(profile, u"PID" + number, u"94C6", settingsPath);
    if (!vendor || !product) continue;
    const UsbId id{*vendor, *product};
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  }
  return ids;
}

}  // namespace vx::platform::linux_backend
