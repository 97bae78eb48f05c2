#include "tests/gui/win32/dialog_units.h"

#include <vector>

namespace vx::testing {

namespace {

INT_PTR CALLBACK IgnoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void Append(std::vector<WORD>& out, DWORD value) {
  out.push_back(LOWORD(value));
  out.push_back(HIWORD(value));
}

// An extended dialog template without controls, with the font as the
// updater's dialogs set it (DS_SETFONT | DS_FIXEDSYS).
std::vector<WORD> EmptyTemplate(const std::wstring& fontName, WORD pointSize) {
  std::vector<WORD> words{1, 0xFFFF};  // version, extended signature
  Append(words, 0);                    // help id
  Append(words, 0);                    // extended style
  Append(words, WS_POPUP | DS_SETFONT | DS_FIXEDSYS | DS_MODALFRAME);
  words.insert(words.end(), {0, 0, 0, 100, 100});  // no controls; x, y, cx, cy
  words.insert(words.end(), {0, 0, 0});            // no menu, default class, empty title
  words.insert(words.end(), {pointSize, FW_NORMAL, MAKEWORD(FALSE, DEFAULT_CHARSET)});
  words.insert(words.end(), fontName.begin(), fontName.end());
  words.push_back(0);
  return words;
}

}  // namespace

DialogUnits::DialogUnits(const std::wstring& fontName, WORD pointSize) {
  const std::vector<WORD> words = EmptyTemplate(fontName, pointSize);
  dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                       nullptr, IgnoreMessages, 0);
}

DialogUnits::~DialogUnits() {
  if (dialog_ != nullptr) DestroyWindow(dialog_);
}

RECT DialogUnits::ToPixels(int x, int y, int width, int height) const {
  // The position and the size are converted each on its own, as the dialog
  // manager places controls.
  RECT units{x, y, width, height};
  MapDialogRect(dialog_, &units);
  return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

}  // namespace vx::testing
