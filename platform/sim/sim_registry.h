// The simulated machine's registry, read through keys that are counted until
// they are closed.
#pragma once

#include <cstddef>
#include <string>

#include "platform/registry_api.h"
#include "platform/sim/sim_handle_table.h"
#include "platform/sim/sim_machine.h"

namespace vx::platform::sim {

class SimRegistry final : public RegistryApi {
 public:
  explicit SimRegistry(SimMachine& machine) : machine_(machine) {}

  RegistryKey OpenLocalMachineKey(std::u16string_view subKey) override;
  bool QueryValue(RegistryKey key, std::u16string_view valueName, std::uint8_t* data,
                  std::uint32_t& lengthBytes) override;
  void Close(RegistryKey key) override;

  std::size_t OpenKeys() const { return keys_.OpenCount(); }

 private:
  SimMachine& machine_;
  SimHandleTable<RegistryKey, std::u16string> keys_{0x8E60};
};

}  // namespace vx::platform::sim
