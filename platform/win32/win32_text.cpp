#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::optional<std::wstring> WideName(std::u16string_view path) {
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  return Wide(path);
}

std::u16string_view TextWithin(const wchar_t* text, std::size_t maxChars) {
  std::size_t length = 0;
  while (length < maxChars && text[length] != L'\0') ++length;
  return {reinterpret_cast<const char16_t*>(text), length};
}

}  // namespace vx::platform::win32_backend
