// Handles that carry a file descriptor. Descriptor 0 is valid and handle 0
// means none, so a handle is the descriptor plus one.
#pragma once

#include <cstdint>

namespace vx::platform::linux_backend {

template <typename Handle>
Handle HandleOfDescriptor(int fd) {
  return static_cast<Handle>(static_cast<std::uintptr_t>(fd) + 1);
}

template <typename Handle>
int DescriptorOf(Handle handle) {
  return static_cast<int>(static_cast<std::uintptr_t>(handle) - 1);
}

}  // namespace vx::platform::linux_backend
