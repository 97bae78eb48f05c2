// The updater's main dialog window: the template IDD_MAIN, its message map,
// the system menu with the About box, the program icon, and the data
// exchange of the file and checksum boxes. The updater's state and its
// handlers are the platform-neutral vx::CVX94C6FWUpdaterDlg, which this
// window owns and drives through a Win32View.
#pragma once

#include <windows.h>

#include <string>

#include "app/updater_dlg.h"
#include "frontend/program_paths.h"
#include "gui/win32/data_exchange.h"
#include "gui/win32/dialog.h"
#include "gui/win32/win32_view.h"

namespace vx::gui {

class CVX94C6FWUpdaterDlg : public CDialog {
 public:
  // Start-up reads the settings named by paths.
  explicit CVX94C6FWUpdaterDlg(frontend::ProgramPaths paths);
  // Answers the update thread's last calls while it ends, if it outlived
  // the window.
  ~CVX94C6FWUpdaterDlg() override;

 protected:
  BOOL OnInitDialog() override;
  // Enter in an edit box: the boxes are read and the dialog ends, unless an
  // update runs.
  void OnOK() override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  friend class Win32View;

  // The boxes to the strings (saveAndValidate) or the strings to the boxes,
  // with the boxes' change notifications locked out meanwhile.
  void UpdateData(bool saveAndValidate, std::u16string& filePath, std::u16string& checksumText);
  void DoDataExchange(DataExchange& dx, std::u16string& filePath, std::u16string& checksumText);
  void AddAboutMenuItem();

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnUpdateClicked();
  void OnExitClicked();
  void OnFilePathKillFocus();
  void OnBrowse();
  void OnFilePathChange();
  void OnTimer(UINT_PTR nIDEvent);

  HICON m_hIcon;
  HWND m_fileEdit = nullptr;
  HWND m_progress = nullptr;
  HWND m_updateButton = nullptr;
  frontend::ProgramPaths paths_;
  Win32View view_{*this};
  // Destroyed first: it waits for a running update, whose view calls find
  // the window gone by then.
  vx::CVX94C6FWUpdaterDlg updater_{view_};
};

}  // namespace vx::gui
