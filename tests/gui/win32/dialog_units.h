// Dialog units to pixels for a dialog font, with MapDialogRect on a hidden
// dialog of the driver's own that uses that font (MapDialogRect only works
// on dialogs of the calling process).
#pragma once

#include <windows.h>

#include <string>

namespace vx::testing {

class DialogUnits {
 public:
  DialogUnits(const std::wstring& fontName, WORD pointSize);
  ~DialogUnits();
  DialogUnits(const DialogUnits&) = delete;
  DialogUnits& operator=(const DialogUnits&) = delete;

  // The rectangle x, y, width, height in dialog units, in pixels.
  RECT ToPixels(int x, int y, int width, int height) const;

 private:
  HWND dialog_ = nullptr;
};

}  // namespace vx::testing
