// The application object: it runs the main dialog modally, and the program
// ends when the dialog ends.
#pragma once

#include <windows.h>

#include <utility>

#include "gui/win32/updater_dlg.h"

namespace vx::gui {

class CVX94C6FWUpdaterApp {
 public:
  explicit CVX94C6FWUpdaterApp(frontend::ProgramPaths paths) : paths_(std::move(paths)) {}

  // Initialises the common controls and runs the main dialog. Returns FALSE:
  // there is no message loop after the dialog.
  BOOL InitInstance();

 private:
  frontend::ProgramPaths paths_;
};

}  // namespace vx::gui
