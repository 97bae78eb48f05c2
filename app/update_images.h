// The bytes one update writes, copied from the image store when the update
// starts: a file loaded while the update runs changes the store, never what
// the running update writes.
#pragma once

#include <cstdint>
#include <vector>

#include "app/config_origin.h"
#include "image/image_store.h"

namespace vx {

// Flash addresses of the areas an update writes.
inline constexpr std::uint32_t kConfigAddress = 0;
inline constexpr std::uint32_t kDiskImageAddress = 0x2800;
inline constexpr std::uint32_t kDiskImageBlockSize = 512;
// What the start-up check reads back: the configuration and code areas.
inline constexpr std::uint32_t kDeviceContentLength = ConfigImageSize + CodeAreaSize;

struct UpdateImages {
  // Written at kConfigAddress: the configuration image followed by the code
  // image (512 bytes alone when there is no code image).
  std::vector<std::uint8_t> writeBlock;
  // Written at kDiskImageAddress: the disk image, filled up with 0xFF (the
  // erased state) to a whole number of 512-byte blocks, so that every
  // image-sector command moves whole blocks only (what a bridge makes of
  // bytes past its last whole block is not known). Empty when the store
  // holds no disk image.
  std::vector<std::uint8_t> diskImage;
  // Which bridges the configuration image may be written to.
  ConfigOrigin configOrigin;
};

// True when the code image fits the code area. A longer code image would
// run past the code area's end and is never written.
bool CodeFitsCodeArea(const ImageStore& store);

// Copies what an update writes out of the store; false, and out untouched,
// when the code image does not fit the code area. Throws std::bad_alloc
// when memory is short.
bool TakeUpdateImages(const ImageStore& store, UpdateImages& out);

}  // namespace vx
