// A zeroed buffer whose start lies on a page boundary. A storage adapter
// takes data only from memory aligned as it demands (its alignment mask, at
// most 511 bytes) and refuses anything else with ERROR_INVALID_PARAMETER; a
// page boundary suits every adapter, so the data of a device request passes
// through one of these whatever the caller's buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx::platform::win32_backend {

inline constexpr std::size_t kPageBytes = 4096;

class AlignedBuffer {
 public:
  explicit AlignedBuffer(std::size_t size) : storage_(size == 0 ? 0 : size + kPageBytes - 1, 0), size_(size) {
    const auto address = reinterpret_cast<std::uintptr_t>(storage_.data());
    data_ = size == 0 ? nullptr : storage_.data() + ((kPageBytes - address % kPageBytes) % kPageBytes);
  }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;

  // Null when the size is 0.
  std::uint8_t* data() { return data_; }
  std::size_t size() const { return size_; }

 private:
  std::vector<std::uint8_t> storage_;
  std::size_t size_;
  std::uint8_t* data_ = nullptr;
};

}  // namespace vx::platform::win32_backend
