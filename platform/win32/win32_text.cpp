#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::optional<std::wstring> WideName(std::u16string_view path) {
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  return Wide(path);
}

}  // namespace vx::platform::win32_backend
