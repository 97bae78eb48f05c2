// The updater's dialog logic: the state behind the main window and its
// handlers, independent of any window system. A front end provides the
// UpdaterView and forwards its events (timers, buttons, file box) here.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "app/update_images.h"
#include "app/updater_outcome.h"
#include "app/updater_view.h"
#include "bridge/device_record.h"

namespace vx {

class CVX94C6FWUpdaterDlg {
 public:
  explicit CVX94C6FWUpdaterDlg(UpdaterView& view);
  // Waits for the update thread (front ends refuse to close while an update
  // runs, so it has ended or is ending) and releases an open device table.
  ~CVX94C6FWUpdaterDlg();
  CVX94C6FWUpdaterDlg(const CVX94C6FWUpdaterDlg&) = delete;
  CVX94C6FWUpdaterDlg& operator=(const CVX94C6FWUpdaterDlg&) = delete;

  // --- start-up, on the UI thread ---
  // The start-up steps with the settings file "Config.ini" beside the
  // program; programPath is the program file's full path. True when the
  // dialog stays open, false when start-up cancelled it.
  bool OnInitDialog(std::u16string_view programPath);
  // The same with the program's folder (ending in its separator) and the
  // settings file given.
  bool StartUp(std::u16string_view exeDir, std::u16string_view settingsPath);

  // Settings: reads the settings file at path into the members below and
  // shows the values; false when the settings cannot be used.
  bool ReadConfig(std::u16string_view path);

  // Finds the first bridge and reads back what it holds; false (after its
  // message box) when there is no bridge or the read fails.
  bool CheckDevice();
  // Loads the file named in the file box; the outcome is m_imageLoaded and
  // the status line.
  void LoadFirmwareFile();
  // The gates in front of an update, then the update thread.
  void StartUpdate();

  // --- handlers, on the UI thread ---
  void OnTimer(unsigned id);
  // After the operator chose chosenPath in the open-file dialog (a cancelled
  // choice does not come here).
  void OnBrowse(std::u16string_view chosenPath);
  void OnFilePathChange();
  void OnFilePathKillFocus();
  void OnUpdateClicked();
  // Exit, Esc and the close box come here; the dialog ends unless an update
  // runs.
  void OnExitClicked();
  // Every request to end the dialog asks this first: while an update runs it
  // says why the dialog stays open and returns true.
  bool RefuseClose();

  bool UpdateRunning() const { return m_workerThread.load(); }
  // Blocks until a running update has ended. For front ends whose view calls
  // do not need the calling thread (the console); a window's UI thread must
  // not call it.
  void WaitForUpdate();
  UpdaterOutcome Outcome() const { return outcome_.load(); }
  // The first bridge as the last device check found it, for front ends that
  // describe it (its lock is released by then); empty when none was found.
  const std::optional<DeviceRecord>& CheckedDevice() const { return checkedDevice_; }

  // --- the update thread ---
  static void UpdateThreadProc(CVX94C6FWUpdaterDlg* dialog);
  void RunUpdate();

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
  void ReadBoxes() { view_.ReadBoxes(m_filePath, m_checksumText); }
  void ShowValues() { view_.ShowValues(m_filePath, m_checksumText); }
  // Reads the first record's flash into the image store; false on failure.
  bool ReadBackDevice(const DeviceRecord& device);
  // Refuses, before it is read, a firmware file longer than anything an
  // update could write from it; true when its length may fit.
  bool AcceptFileSize();
  // Refuses a loaded code image longer than the code area and puts back the
  // configuration image the load replaced; true when the code fits.
  bool AcceptCodeLength(const std::uint8_t* savedConfig, bool fromEep);
  // The message box and status of a refused file; no firmware is loaded.
  void RefuseFile(std::u16string_view text);
  // True when the gates let an update start; a failing gate closes the dialog.
  bool PassGates();
  void LaunchUpdateThread();
  // The steps of the update; 0 or the UpdateError of the failing step.
  int RunUpdateSteps();
  // An update that must not begin on this bridge: its UpdateError, else 0.
  int RefuseBeforeErasing(const DeviceRecord& device);
  int WriteAndVerify(const DeviceRecord& device);
  int WriteAndVerifyDiskImage(const DeviceRecord& device);
  void SetProtection(const DeviceRecord& device, bool protect);
  void EndUpdate(int code);

  UpdaterView& view_;
  std::thread worker_;          // joined before the next update and on destruction
  UpdateImages updateImages_;   // what the running update writes
  ConfigOrigin configOrigin_;   // of the configuration image in the image store
  std::atomic<UpdaterOutcome> outcome_{UpdaterOutcome::None};
  std::optional<DeviceRecord> checkedDevice_;
};

// Turns a "CHECKSUM" text into its 16-bit value: true and out set when the
// text, read after a "0x" prefix, gives a hexadecimal number.
bool ParseChecksumText(std::u16string_view text, std::uint16_t& out);

}  // namespace vx
