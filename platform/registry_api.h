// Registry reading, shaped after RegOpenKeyExW (under HKEY_LOCAL_MACHINE, with
// KEY_READ), RegQueryValueExW and RegCloseKey.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx::platform {

// An open registry key (HKEY); None is "no key".
enum class RegistryKey : std::uintptr_t { None = 0 };

class RegistryApi {
 public:
  virtual ~RegistryApi() = default;
  // Opens HKEY_LOCAL_MACHINE\subKey for reading; None when it does not exist.
  // Key names compare ignoring case.
  virtual RegistryKey OpenLocalMachineKey(std::u16string_view subKey) = 0;
  // Reads a value's data of any type. lengthBytes gives the capacity on entry
  // and receives the size of the data on success. Fails (ERROR_FILE_NOT_FOUND,
  // ERROR_MORE_DATA) when the value is missing or larger than the capacity.
  // Value names compare ignoring case.
  virtual bool QueryValue(RegistryKey key, std::u16string_view valueName, std::uint8_t* data,
                          std::uint32_t& lengthBytes) = 0;
  virtual void Close(RegistryKey key) = 0;
};

}  // namespace vx::platform
