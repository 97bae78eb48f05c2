#include "gui/win32/win32_view.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "gui/win32/resource.h"
#include "gui/win32/updater_dlg.h"
#include "platform/win32/win32_text.h"

namespace vx::gui {

using platform::win32_backend::Wide;

void Win32View::SetStatus(std::u16string_view text) {
  const std::wstring wide = Wide(text);
  dialog_.RunOnDialogThread([&] { SetDlgItemTextW(dialog_.GetSafeHwnd(), IDC_STATUS, wide.c_str()); });
}

void Win32View::SetProgressRange(int high) {
  dialog_.RunOnDialogThread([&] { SendMessageW(dialog_.m_progress, PBM_SETRANGE, 0, MAKELPARAM(0, high)); });
}

void Win32View::SetProgressPos(int pos) {
  dialog_.RunOnDialogThread([&] { SendMessageW(dialog_.m_progress, PBM_SETPOS, static_cast<WPARAM>(pos), 0); });
}

void Win32View::ShowProgress(bool show) {
  dialog_.RunOnDialogThread([&] { ShowWindow(dialog_.m_progress, show ? SW_SHOW : SW_HIDE); });
}

void Win32View::EnableUpdate(bool enable) {
  dialog_.RunOnDialogThread([&] { EnableWindow(dialog_.m_updateButton, enable ? TRUE : FALSE); });
}

BoxAnswer Win32View::ShowMessageBox(std::u16string_view text, std::u16string_view caption, BoxStyle style) {
  const int answer = MessageBoxW(dialog_.GetSafeHwnd(), Wide(text).c_str(), Wide(caption).c_str(),
                                 static_cast<UINT>(style));
  return answer == IDOK ? BoxAnswer::Ok : BoxAnswer::Cancel;
}

void Win32View::ReadBoxes(std::u16string& filePath, std::u16string& checksumText) {
  dialog_.RunOnDialogThread([&] { dialog_.UpdateData(true, filePath, checksumText); });
}

void Win32View::ShowValues(std::u16string_view filePath, std::u16string_view checksumText) {
  std::u16string file(filePath);
  std::u16string checksum(checksumText);
  dialog_.RunOnDialogThread([&] { dialog_.UpdateData(false, file, checksum); });
}

void Win32View::ScrollFileBoxToEnd() {
  dialog_.RunOnDialogThread([&] { SendMessageW(dialog_.m_fileEdit, WM_KEYDOWN, VK_END, 0); });
}

void Win32View::StartTimer(unsigned id, unsigned periodMs) {
  dialog_.RunOnDialogThread([&] { SetTimer(dialog_.GetSafeHwnd(), id, periodMs, nullptr); });
}

void Win32View::StopTimer(unsigned id) {
  dialog_.RunOnDialogThread([&] { KillTimer(dialog_.GetSafeHwnd(), id); });
}

void Win32View::Cancel() {
  dialog_.RunOnDialogThread([&] { dialog_.OnCancel(); });
}

void Win32View::Close() {
  dialog_.RunOnDialogThread([&] { dialog_.EndDialog(IDCANCEL); });
}

}  // namespace vx::gui
