// The updater's settings: "Config.ini" beside the program, read once at
// start-up. Nothing is written back.
#include <string>

#include "app/updater_dlg.h"
#include "base/text.h"
#include "platform/platform.h"
#include "platform/profile_api.h"

namespace vx {

namespace {

// At most this many bridge entries may be listed under "Update_Device".
constexpr std::int32_t kMaxDevCount = 3;

// Value buffers, terminator included: USB IDs keep 4 characters, texts 127.
constexpr std::uint32_t kIdChars = 5;
constexpr std::uint32_t kValueChars = 128;

// "VID%d" / "PID%d".
std::u16string NumberedKey(std::u16string_view prefix, std::int32_t n) {
  return std::u16string(prefix) + FromUtf8(std::to_string(n));
}

// Reads a text value into a cleared buffer of N characters, so a longer value
// is cut to N - 1 characters.
template <std::size_t N>
std::u16string ReadText(std::u16string_view section, std::u16string_view key, std::u16string_view defaultValue,
                        std::u16string_view path) {
  char16_t buffer[N] = {};
  platform::Profile().GetString(section, key, defaultValue, buffer, N, path);
  return std::u16string(TextOf(buffer));
}

std::int32_t ReadInt(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                     std::u16string_view path) {
  return static_cast<std::int32_t>(platform::Profile().GetInt(section, key, defaultValue, path));
}

}  // namespace

bool CVX94C6FWUpdaterDlg::ReadConfig(std::u16string_view path) {
  const std::int32_t devCount = ReadInt(u"Configuration", u"DevCount", kMaxDevCount, path);
  if (devCount > kMaxDevCount) return false;

  // The bridges' USB IDs are listed for the operator's reference only: which
  // bridges are updated is decided by the device search.
  for (std::int32_t n = 1; n <= devCount; ++n) {
    ReadText<kIdChars>(u"Update_Device", NumberedKey(u"VID", n), u"1B7E", path);
    ReadText<kIdChars>(u"Update_Device", NumberedKey(u"PID", n), u"94C6", path);
  }

  m_hexName = ReadText<kValueChars>(u"Hex_FileName", u"HEXNAME", u"VX94C6.bin", path);
  m_filePath = m_exeDir + m_hexName;
  m_cmpLen = ReadInt(u"Cmp_Ver", u"CMPLEN", 8, path);
  m_cmpStr = ReadText<kValueChars>(u"Cmp_Ver", u"CMPSTR", u"", path);
  const std::u16string checksum = ReadText<kValueChars>(u"Cmp_Ver", u"CHECKSUM", u"0000", path);
  m_cfgChecksum = 0;
  ParseChecksumText(checksum, m_cfgChecksum);

  ShowValues();
  return true;
}

bool ParseChecksumText(std::u16string_view text, std::uint16_t& out) {
  // The text is hexadecimal digits without a prefix.
  std::int32_t value = 0;
  if (!platform::Profile().StrToIntEx(u"0x" + std::u16string(text), value)) return false;
  out = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
  return true;
}

}  // namespace vx
