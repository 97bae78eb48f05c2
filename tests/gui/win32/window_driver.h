// Drives another process's windows from outside, with ordinary window
// messages only: finding its top-level windows, reading texts, styles and
// positions, pressing buttons and answering message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vx::testing {

// Waits until ready() holds, checking every 20 ms; false when it still does
// not hold after timeoutMs.
bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs = 30000);

// The text of a window of any process (WM_GETTEXT; GetWindowText would only
// see the caption that the system keeps for windows of other processes).
std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The window's rectangle in the client coordinates of parent.
RECT RectIn(HWND window, HWND parent);

// A visible top-level window of process pid with this class and caption
// (and owner, when one is given); null when there is none.
HWND FindTopLevel(DWORD pid, const std::wstring& className, const std::wstring& caption, HWND owner = nullptr);
// Waits for such a window; null after the time-out.
HWND WaitForTopLevel(DWORD pid, const std::wstring& className, const std::wstring& caption, HWND owner = nullptr);

// The text of a message box (its static text control).
std::wstring MessageBoxText(HWND box);
// Presses the button id of a dialog or message box and waits until the box
// is gone (or hidden, when it ends inside another modal loop).
bool AnswerBox(HWND box, int buttonId);
// A click on a dialog's button, as the button reports it.
void PostClick(HWND dialog, int buttonId);

}  // namespace vx::testing
