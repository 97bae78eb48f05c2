#include "image/image_buffer.h"

#include <new>

namespace vx {

namespace {

ImageBuffer AllocateFromHeap(std::size_t length) { return ImageBuffer(new (std::nothrow) std::uint8_t[length]); }

ImageAllocator g_allocator = &AllocateFromHeap;

}  // namespace

ImageBuffer AllocateImageBuffer(std::size_t length) { return g_allocator(length); }

ImageAllocator SetImageAllocator(ImageAllocator allocator) {
  ImageAllocator previous = g_allocator;
  g_allocator = allocator;
  return previous;
}

}  // namespace vx
