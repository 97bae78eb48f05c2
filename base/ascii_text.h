// Text helpers of the simulated machine. The machine keeps names the way the
// system compares them (ASCII letters without case) and builds its IDs and
// paths from plain ASCII.
#pragma once

#include <string>
#include <string_view>

namespace vx {

// The text with ASCII letters lowered: the key under which a name that the
// system compares ignoring case is stored.
std::u16string LowerAscii(std::u16string_view text);
// Whether two names are the same when ASCII case is ignored.
bool SameIgnoringCase(std::u16string_view a, std::u16string_view b);
// ASCII (or Latin-1) text widened to UTF-16.
std::u16string Widen(std::string_view text);

}  // namespace vx
