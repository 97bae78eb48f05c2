// The updater's dialog logic: the state behind the main window and its
// handlers, independent of any window system. A front end provides the
// UpdaterView and forwards its events (timers, buttons, file box) here.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/updater_view.h"
#include "discovery/device_record.h"

namespace vx {

class CVX94C6FWUpdaterDlg {
 public:
  explicit CVX94C6FWUpdaterDlg(UpdaterView& view);
  ~CVX94C6FWUpdaterDlg();
  CVX94C6FWUpdaterDlg(const CVX94C6FWUpdaterDlg&) = delete;
  CVX94C6FWUpdaterDlg& operator=(const CVX94C6FWUpdaterDlg&) = delete;

  // Settings: reads the settings file at path into the members below and
  // shows the values; false when the settings cannot be used.
  bool ReadConfig(std::u16string_view path);

  // --- updater state ---
  DeviceRecord* m_deviceTable = nullptr;
  std::int32_t m_deviceCount = 0;
  std::int32_t m_cmpLen = 0;
  std::u16string m_cmpStr;
  std::uint16_t m_cfgChecksum = 0;
  std::int32_t m_fileType = -1;
  std::uint16_t m_devChecksum = 0;
  std::atomic<bool> m_workerThread{false};  // true while an update thread runs
  std::atomic<std::int32_t> m_imageLoaded{0};
  std::u16string m_exeDir;  // program folder, ending in its separator
  std::u16string m_hexName;
  std::u16string m_devVersion;
  std::u16string m_filePath;
  std::u16string m_checksumText;

 private:
  UpdaterView& view_;
};

// Turns a "CHECKSUM" text into its 16-bit value: true and out set when the
// text, read after a "0x" prefix, gives a hexadecimal number.
bool ParseChecksumText(std::u16string_view text, std::uint16_t& out);

}  // namespace vx
