// The simulated machine's registry under HKEY_LOCAL_MACHINE: keys holding
// values of raw bytes. Key and value names compare ignoring case.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vx::platform::sim {

class MachineRegistry {
 public:
  using Bytes = std::vector<std::uint8_t>;

  void AddKey(std::u16string_view key);
  void RemoveKey(std::u16string_view key);
  // Creates the key when needed.
  void SetValue(std::u16string_view key, std::u16string_view name, Bytes data);
  // Stores UTF-16 text (little-endian), with its terminator when asked.
  void SetText(std::u16string_view key, std::u16string_view name, std::u16string_view text, bool terminated);
  void RemoveValue(std::u16string_view key, std::u16string_view name);

  bool HasKey(std::u16string_view key) const;
  // Null when the key or the value does not exist.
  const Bytes* FindValue(std::u16string_view key, std::u16string_view name) const;

 private:
  std::map<std::u16string, std::map<std::u16string, Bytes>> keys_;  // lowered names
};

// UTF-16 text as little-endian bytes.
MachineRegistry::Bytes TextBytes(std::u16string_view text, bool terminated);

}  // namespace vx::platform::sim
