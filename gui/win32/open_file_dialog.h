// The system's open-file dialog, as the "..." button uses it.
#pragma once

#include <windows.h>

#include <string>

namespace vx::gui {

// Lets the operator choose an existing ".eep" or ".bin" file (the ".eep"
// filter first). True with its full path in path; false when the operator
// cancelled or the dialog could not be shown.
bool ChooseFirmwareFile(HWND owner, std::u16string& path);

}  // namespace vx::gui
