#include "platform/win32/win32_registry.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

HKEY NativeKey(RegistryKey key) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)); }

}  // namespace

RegistryKey Win32Registry::OpenLocalMachineKey(std::u16string_view subKey) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(subKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return RegistryKey::None;
  return static_cast<RegistryKey>(reinterpret_cast<std::uintptr_t>(key));
}

bool Win32Registry::QueryValue(RegistryKey key, std::u16string_view valueName, std::uint8_t* data,
                               std::uint32_t& lengthBytes) {
  // Without a buffer the call would only measure the value.
  if (key == RegistryKey::None || data == nullptr) return false;
  DWORD length = lengthBytes;
  if (::RegQueryValueExW(NativeKey(key), Wide(valueName).c_str(), nullptr, nullptr, data, &length) != ERROR_SUCCESS)
    return false;
  lengthBytes = length;
  return true;
}

void Win32Registry::Close(RegistryKey key) {
  if (key != RegistryKey::None) ::RegCloseKey(NativeKey(key));
}

}  // namespace vx::platform::win32_backend
