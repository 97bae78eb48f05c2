// Firmware file contents for tests: byte patterns and ".eep" files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::testing {

using Bytes = std::vector<std::uint8_t>;

// n bytes of a pattern that differs with the seed and never runs blank.
inline Bytes Pattern(std::size_t n, std::uint8_t seed) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) ^ (i >> 8));
  return bytes;
}

inline std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// An ".eep" file: the configuration image, the header fields, the code at
// 536 and, when given, the disk image at 10240.
inline Bytes MakeEep(const Bytes& config, const Bytes& code, const Bytes& disk = {}) {
  Bytes file(536 + code.size(), 0x00);
  std::copy(config.begin(), config.begin() + 512, file.begin());
  const auto length = static_cast<std::uint32_t>(code.size());
  std::uint16_t checksum = 0;
  for (std::uint8_t b : code) checksum = static_cast<std::uint16_t>(checksum + b);
  for (int i = 0; i < 4; ++i) file[524 + i] = static_cast<std::uint8_t>(length >> (8 * i));
  file[528] = static_cast<std::uint8_t>(checksum);
  file[529] = static_cast<std::uint8_t>(checksum >> 8);
  std::copy(code.begin(), code.end(), file.begin() + 536);
  if (!disk.empty()) {
    file.resize(10240, 0xFF);
    file.insert(file.end(), disk.begin(), disk.end());
  }
  return file;
}

}  // namespace vx::testing
