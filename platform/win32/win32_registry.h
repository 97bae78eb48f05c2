// Registry reading on Windows: RegOpenKeyExW under HKEY_LOCAL_MACHINE with
// KEY_READ, RegQueryValueExW and RegCloseKey.
#pragma once

#include "platform/registry_api.h"

namespace vx::platform::win32_backend {

class Win32Registry final : public RegistryApi {
 public:
  RegistryKey OpenLocalMachineKey(std::u16string_view subKey) override;
  bool QueryValue(RegistryKey key, std::u16string_view valueName, std::uint8_t* data,
                  std::uint32_t& lengthBytes) override;
  void Close(RegistryKey key) override;
};

}  // namespace vx::platform::win32_backend
