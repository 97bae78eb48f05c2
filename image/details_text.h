// The failure text the firmware loaders append to: one line per failure,
// each ending in "\r\n", in a caller-owned text with room for kDetailsChars
// characters including the terminator.
#pragma once

#include <string>
#include <string_view>

#include "image/image_store.h"

namespace vx {

// Appends line, cut so that the text never exceeds kDetailsChars - 1
// characters.
inline void AppendDetails(std::u16string& details, std::u16string_view line) {
  const std::size_t limit = kDetailsChars - 1;
  if (details.size() >= limit) return;
  details.append(line.substr(0, limit - details.size()));
}

}  // namespace vx
