#include "platform/sim/sim_registry.h"

#include <algorithm>

namespace vx::platform::sim {

RegistryKey SimRegistry::OpenLocalMachineKey(std::u16string_view subKey) {
  if (!machine_.Registry().HasKey(subKey)) return RegistryKey::None;
  return keys_.Open(std::u16string(subKey));
}

bool SimRegistry::QueryValue(RegistryKey key, std::u16string_view valueName, std::uint8_t* data,
                             std::uint32_t& lengthBytes) {
  const auto name = keys_.Find(key);
  if (!name) return false;
  const auto* value = machine_.Registry().FindValue(*name, valueName);
  if (value == nullptr || data == nullptr || value->size() > lengthBytes) return false;
  std::copy(value->begin(), value->end(), data);
  lengthBytes = static_cast<std::uint32_t>(value->size());
  return true;
}

void SimRegistry::Close(RegistryKey key) { keys_.Close(key); }

}  // namespace vx::platform::sim
