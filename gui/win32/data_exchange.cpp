#include "gui/win32/data_exchange.h"

#include <vector>

#include "platform/win32/win32_text.h"

namespace vx::gui {

void DDX_Text(DataExchange& dx, int id, std::u16string& value) {
  const HWND control = GetDlgItem(dx.dialog, id);
  if (!dx.saveAndValidate) {
    SetWindowTextW(control, platform::win32_backend::Wide(value).c_str());
    return;
  }
  std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  value.assign(reinterpret_cast<const char16_t*>(text.data()), static_cast<std::size_t>(length > 0 ? length : 0));
}

void DDX_Control(DataExchange& dx, int id, HWND& control) {
  if (control == nullptr) control = GetDlgItem(dx.dialog, id);
}

}  // namespace vx::gui
