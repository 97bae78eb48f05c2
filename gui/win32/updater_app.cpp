#include "gui/win32/updater_app.h"

#include <commctrl.h>

namespace vx::gui {

BOOL CVX94C6FWUpdaterApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CVX94C6FWUpdaterDlg dialog(paths_);
  dialog.DoModal();
  return FALSE;
}

}  // namespace vx::gui
