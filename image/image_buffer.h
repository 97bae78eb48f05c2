// Buffers for images and file contents. Allocation never throws: when memory
// is short the buffer is null, and the loaders report that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vx {

using ImageBuffer = std::unique_ptr<std::uint8_t[]>;

// A buffer of length bytes (content unspecified), or null when it cannot be
// had. A length of 0 gives a valid, empty buffer.
ImageBuffer AllocateImageBuffer(std::size_t length);

// Replaces the allocator behind AllocateImageBuffer and returns the previous
// one; lets tests run the loaders out of memory.
using ImageAllocator = ImageBuffer (*)(std::size_t length);
ImageAllocator SetImageAllocator(ImageAllocator allocator);

}  // namespace vx
