#include "frontend/win32/system_message.h"

#include "base/text.h"

namespace vx::frontend {

std::string SystemMessage(DWORD code) {
  wchar_t text[256] = {};
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, static_cast<DWORD>(std::size(text)), nullptr);
  if (length == 0) return "error " + std::to_string(code);
  std::string reason = ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

}  // namespace vx::frontend
