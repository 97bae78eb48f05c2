#include "tests/gui/win32/window_driver.h"

#include <vector>

namespace vx::testing {

namespace {

// The static control holding a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
// A window of the program under test answers a message within this time, or
// it hangs.
constexpr UINT kAnswerTimeoutMs = 10000;

struct Search {
  DWORD pid;
  const std::wstring& className;
  const std::wstring& caption;
  HWND owner;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search.pid || !IsWindowVisible(window)) return TRUE;
  if (search.owner != nullptr && GetWindow(window, GW_OWNER) != search.owner) return TRUE;
  if (ClassOf(window) != search.className || TextOf(window) != search.caption) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& ready, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!ready()) {
    if (GetTickCount64() > end) return false;
    Sleep(20);
  }
  return true;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &length)) return {};
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                      kAnswerTimeoutMs, &copied);
  return std::wstring(text.data(), copied);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

RECT RectIn(HWND window, HWND parent) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND FindTopLevel(DWORD pid, const std::wstring& className, const std::wstring& caption, HWND owner) {
  Search search{pid, className, caption, owner};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevel(DWORD pid, const std::wstring& className, const std::wstring& caption, HWND owner) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(pid, className, caption, owner)) != nullptr; });
  return found;
}

std::wstring MessageBoxText(HWND box) { return TextOf(GetDlgItem(box, kMessageBoxTextId)); }

bool AnswerBox(HWND box, int buttonId) {
  PostClick(box, buttonId);
  return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

void PostClick(HWND dialog, int buttonId) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

}  // namespace vx::testing
