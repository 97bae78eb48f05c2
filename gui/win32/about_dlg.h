// The About box, opened from the system menu.
#pragma once

#include "gui/win32/dialog.h"
#include "gui/win32/resource.h"

namespace vx::gui {

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(HWND parent) : CDialog(IDD_ABOUT, parent) {}
};

}  // namespace vx::gui
