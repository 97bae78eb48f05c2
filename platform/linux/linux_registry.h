// Linux has no registry: every key is missing, so no drive letter is ever
// tied to a disk.
#pragma once

#include "platform/registry_api.h"

namespace vx::platform::linux_backend {

class LinuxRegistry final : public RegistryApi {
 public:
  RegistryKey OpenLocalMachineKey(std::u16string_view) override { return RegistryKey::None; }
  bool QueryValue(RegistryKey, std::u16string_view, std::uint8_t*, std::uint32_t&) override { return false; }
  void Close(RegistryKey) override {}
};

}  // namespace vx::platform::linux_backend
