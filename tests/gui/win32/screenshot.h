// A picture of a window as it shows on the screen, saved as a 24-bit BMP.
#pragma once

#include <windows.h>

#include <string>

namespace vx::testing {

// Copies the screen area of window (its frame included) into a BMP file at
// path; false when the copy or the file failed.
bool SaveWindowPicture(HWND window, const std::wstring& path);

}  // namespace vx::testing
