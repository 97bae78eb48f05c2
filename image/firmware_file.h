// Reading a whole firmware file into memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

struct FileBuffer {
  std::unique_ptr<std::uint8_t[]> bytes;
  std::uint32_t length = 0;
};

// Reads a whole file; null with length 0 and a line appended to details
// (when given) on failure. An empty file gives a non-null, empty buffer.
FileBuffer ReadFirmwareFile(std::u16string_view path, std::u16string* details);

// The size of the file at path without reading it; false when it cannot be
// opened.
bool FirmwareFileSize(std::u16string_view path, std::uint64_t& size);

}  // namespace vx
