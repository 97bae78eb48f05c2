// Runs the image buffer allocator dry for one test: the first `succeed`
// allocations are served, every later one fails.
#pragma once

#include "image/image_buffer.h"

namespace vx::testing {

class FailingAllocator {
 public:
  explicit FailingAllocator(int succeed) : previous_(SetImageAllocator(&Allocate)) { remaining_ = succeed; }
  ~FailingAllocator() { SetImageAllocator(previous_); }
  FailingAllocator(const FailingAllocator&) = delete;
  FailingAllocator& operator=(const FailingAllocator&) = delete;

 private:
  static ImageBuffer Allocate(std::size_t length) {
    if (remaining_ <= 0) return nullptr;
    --remaining_;
    return ImageBuffer(new std::uint8_t[length]);
  }
  static inline int remaining_ = 0;
  ImageAllocator previous_;
};

}  // namespace vx::testing
