// How the device-tree and hub calls hand out text, shared by the backends:
// the caller passes a buffer and its capacity; too small a buffer (or none)
// gets the size it needs and nothing written.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/device_tree_api.h"

namespace vx::platform {

// Text and terminator into bufferChars characters; requiredChars is set
// either way.
QueryResult CopyQueryText(std::u16string_view text, char16_t* buffer, std::uint32_t bufferChars,
                          std::uint32_t& requiredChars);

// A property's text with its capacity and size in bytes (lengthBytes in and
// out).
QueryResult CopyPropertyText(std::u16string_view text, char16_t* buffer, std::uint32_t& lengthBytes);

// CM_Get_Device_IDW: fails, writing nothing, when the ID is longer than
// bufferChars; the terminator is written when there is room for it.
bool CopyDeviceId(std::u16string_view id, char16_t* buffer, std::uint32_t bufferChars);

// A port's driver key name: a call with a zero-sized buffer only learns
// requiredChars and succeeds; otherwise the buffer must hold the name and
// its terminator.
bool CopyDriverKeyName(std::u16string_view key, char16_t* buffer, std::uint32_t bufferChars,
                       std::uint32_t& requiredChars);

}  // namespace vx::platform
