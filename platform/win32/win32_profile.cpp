#include "platform/win32/win32_profile.h"

#include <shlwapi.h>
// The header names the wide call by a macro that would rename our method.
#undef StrToIntEx

#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

// The calls look for a file named without a folder in the Windows folder;
// like the other backends, a relative path here means the current folder.
std::wstring FullPath(std::u16string_view path) {
  const std::wstring wide = Wide(path);
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return wide;
  full.resize(length);
  return full;
}

}  // namespace

std::uint32_t Win32Profile::GetInt(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue,
                                   std::u16string_view path) {
  return ::GetPrivateProfileIntW(Wide(section).c_str(), Wide(key).c_str(), defaultValue, FullPath(path).c_str());
}

std::uint32_t Win32Profile::GetString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view defaultValue, char16_t* buffer, std::uint32_t bufferChars,
                                      std::u16string_view path) {
  if (buffer == nullptr || bufferChars == 0) return 0;
  return ::GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(defaultValue).c_str(),
                                    WideBuffer(buffer), bufferChars, FullPath(path).c_str());
}

bool Win32Profile::StrToIntEx(std::u16string_view text, std::int32_t& value) {
  int result = 0;
  if (!::StrToIntExW(Wide(text).c_str(), STIF_SUPPORT_HEX, &result)) return false;
  value = result;
  return true;
}

}  // namespace vx::platform::win32_backend
