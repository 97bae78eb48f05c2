// Reading a fuzzer's input piece by piece; past its end every read gives 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return offset_ >= size_; }
  std::uint8_t Byte() { return offset_ < size_ ? data_[offset_++] : 0; }
  std::uint32_t Word() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
    return value;
  }
  // The rest of the input.
  std::string_view Rest() {
    const std::string_view rest(reinterpret_cast<const char*>(data_) + offset_, size_ - offset_);
    offset_ = size_;
    return rest;
  }
  // The rest as UTF-16 code units, two bytes each, low byte first.
  std::u16string RestAsUtf16() {
    std::u16string text;
    while (offset_ + 1 < size_) text += static_cast<char16_t>(Byte() | Byte() << 8);
    offset_ = size_;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

}  // namespace vx::fuzz

// A broken promise of the code under test: libFuzzer keeps the input.
#define FUZZ_CHECK(condition) \
  do {                        \
    if (!(condition)) __builtin_trap(); \
  } while (false)
