#include "gui/win32/dialog.h"

#include <utility>

namespace vx::gui {

namespace {

// Carries a call from another thread onto the dialog's thread: wParam is the
// function, lParam its context.
constexpr UINT kRunOnDialogThread = WM_APP + 1;

using ThreadCall = void (*)(void*);

}  // namespace

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

INT_PTR CDialog::DoModal() {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent_, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result) {
  if (const HWND hwnd = GetSafeHwnd()) ::EndDialog(hwnd, result);
}

void CDialog::Default() {
  if (wantDefault_ != nullptr) *wantDefault_ = true;
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static constexpr MessageMapEntry<CDialog> kMessageMap[] = {
      OnCommand<&CDialog::OnOK>(IDOK, BN_CLICKED),
      OnCommand<&CDialog::OnCancel>(IDCANCEL, BN_CLICKED),
  };
  return Dispatch<CDialog>(*this, kMessageMap, message, wParam, lParam, result);
}

void CDialog::CallOnDialogThread(void (*call)(void*), void* context) {
  const HWND hwnd = GetSafeHwnd();
  if (hwnd == nullptr) return;
  if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
    call(context);
    return;
  }
  // Fails at once, without running the call, when the window is destroyed
  // meanwhile.
  SendMessageW(hwnd, kRunOnDialogThread, reinterpret_cast<WPARAM>(call), reinterpret_cast<LPARAM>(context));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    dialog->hwnd_ = hwnd;
    return dialog->OnInitDialog();
  }
  auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (dialog == nullptr) return FALSE;  // the messages before WM_INITDIALOG
  if (message == WM_NCDESTROY) {
    dialog->hwnd_ = nullptr;
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    return FALSE;
  }
  return dialog->Handle(message, wParam, lParam);
}

INT_PTR CDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = GetSafeHwnd();
  if (message == kRunOnDialogThread) {
    reinterpret_cast<ThreadCall>(wParam)(reinterpret_cast<void*>(lParam));
    return TRUE;
  }
  if (message == WM_COMMAND && lParam != 0 && notificationLocks_ > 0) return TRUE;

  bool wantDefault = false;
  bool* const outer = std::exchange(wantDefault_, &wantDefault);
  LRESULT result = 0;
  const bool handled = OnWndMsg(message, wParam, lParam, result);
  wantDefault_ = outer;
  if (!handled || wantDefault) return FALSE;
  // A few messages answer through the procedure's own return value.
  if (message == WM_QUERYDRAGICON) return result;
  SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace vx::gui
