// The configuration image built into the updater: the bridge's USB identity
// (vendor 0x1B7E, product 0x94C6, string descriptors) and the setting bytes the
// bridge firmware reads. It is written to flash address 0 whenever neither the
// bridge's own image nor an ".eep" file replaces it before an update.
#pragma once

#include <cstdint>

#include "image/image_store.h"

namespace vx {

extern const std::uint8_t kDefaultConfigImage[ConfigImageSize];

}  // namespace vx
