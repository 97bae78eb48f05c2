// Byte strings for tests: patterns whose bytes differ from their neighbours
// and with the seed, so that misplaced, missing or mixed-up copies show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vx::test {

using Bytes = std::vector<std::uint8_t>;

// n bytes of a pattern that never runs blank (0x00 or 0xFF) for long.
inline Bytes Pattern(std::size_t n, std::uint8_t seed = 0) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) ^ (i >> 8));
  return bytes;
}

}  // namespace vx::test
