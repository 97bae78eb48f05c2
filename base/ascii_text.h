// ASCII case and widening. Names the system compares without case (instance
// IDs, device paths, registry keys, settings keys, file extensions) fold only
// the ASCII letters; every other character compares exactly, as the Windows
// ordinal ignore-case comparisons do for the identifiers this system handles.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// The text with ASCII letters lowered: the key under which a name that the
// system compares ignoring case is stored.
std::u16string LowerAscii(std::u16string_view text);
// Whether two names are the same when ASCII case is ignored, and whether
// needle occurs in haystack that way.
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool ContainsIgnoreCase(std::u16string_view haystack, std::u16string_view needle);
// ASCII (or Latin-1) text widened to UTF-16.
std::u16string Widen(std::string_view text);

}  // namespace vx
