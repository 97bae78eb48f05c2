// The settings file on any content: the INI reader and the number rules
// behind every setting, through the dialog's own settings reader. No crash,
// and every value within its buffer.
#include "app/updater_dlg.h"
#include "base/ini_reader.h"
#include "base/profile_integer.h"
#include "base/str_to_int.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/quiet_view.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  vx::platform::sim::SimPlatform sim;
  const vx::platform::ScopedPlatform scoped(sim.Apis());
  sim.Files().Write(u"C:\\Updater\\Config.ini", bytes);

  vx::fuzz::QuietView view;
  vx::CVX94C6FWUpdaterDlg dialog(view);
  dialog.m_exeDir = u"C:\\Updater\\";
  if (dialog.ReadConfig(u"C:\\Updater\\Config.ini")) {
    FUZZ_CHECK(dialog.m_hexName.size() <= 127);
    FUZZ_CHECK(dialog.m_cmpStr.size() <= 127);
    FUZZ_CHECK(dialog.m_filePath == dialog.m_exeDir + dialog.m_hexName);
  }

  // Every value of the file through both number rules.
  const vx::IniReader ini(bytes);
  for (const char16_t* key : {u"DevCount", u"HEXNAME", u"CMPLEN", u"CMPSTR", u"CHECKSUM"}) {
    for (const char16_t* section : {u"Configuration", u"Hex_FileName", u"Cmp_Ver", u""}) {
      const std::optional<std::u16string_view> value = ini.Find(section, key);
      if (!value) continue;
      vx::ParseProfileInteger(*value);
      std::int32_t number = 0;
      vx::StrToIntEx(std::u16string(*value), number);
      std::uint16_t checksum = 0;
      vx::ParseChecksumText(*value, checksum);
    }
  }
  return 0;
}
