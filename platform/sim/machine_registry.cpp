#include "platform/sim/machine_registry.h"

#include "base/ascii_text.h"

namespace vx::platform::sim {

MachineRegistry::Bytes TextBytes(std::u16string_view text, bool terminated) {
  MachineRegistry::Bytes bytes;
  bytes.reserve((text.size() + 1) * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

void MachineRegistry::AddKey(std::u16string_view key) { keys_[LowerAscii(key)]; }

void MachineRegistry::RemoveKey(std::u16string_view key) { keys_.erase(LowerAscii(key)); }

void MachineRegistry::SetValue(std::u16string_view key, std::u16string_view name, Bytes data) {
  keys_[LowerAscii(key)][LowerAscii(name)] = std::move(data);
}

void MachineRegistry::SetText(std::u16string_view key, std::u16string_view name, std::u16string_view text,
                              bool terminated) {
  SetValue(key, name, TextBytes(text, terminated));
}

void MachineRegistry::RemoveValue(std::u16string_view key, std::u16string_view name) {
  auto found = keys_.find(LowerAscii(key));
  if (found != keys_.end()) found->second.erase(LowerAscii(name));
}

bool MachineRegistry::HasKey(std::u16string_view key) const { return keys_.count(LowerAscii(key)) != 0; }

const MachineRegistry::Bytes* MachineRegistry::FindValue(std::u16string_view key, std::u16string_view name) const {
  auto found = keys_.find(LowerAscii(key));
  if (found == keys_.end()) return nullptr;
  auto value = found->second.find(LowerAscii(name));
  return value == found->second.end() ? nullptr : &value->second;
}

}  // namespace vx::platform::sim
