// Data exchange between a dialog's controls and values: in the saving
// direction the control texts go into the values, otherwise the values go
// into the controls.
#pragma once

#include <windows.h>

#include <string>

namespace vx::gui {

struct DataExchange {
  HWND dialog;
  bool saveAndValidate;  // controls to values
};

// The text of the control id.
void DDX_Text(DataExchange& dx, int id, std::u16string& value);
// Binds the control id to a window handle (in both directions).
void DDX_Control(DataExchange& dx, int id, HWND& control);

}  // namespace vx::gui
