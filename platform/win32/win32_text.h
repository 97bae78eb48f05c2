// Text and handles crossing into the Windows calls. The platform layer's
// UTF-16 is Windows' own wide text, so strings pass as they are; they only
// gain the terminator that the calls expect.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx::platform::win32_backend {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

// The terminated wide form of a name or value. A Windows string ends at its
// first NUL, so any text after one is not seen by the call.
std::wstring Wide(std::u16string_view text);

// The terminated wide form of a path or object name, or nothing when it is
// empty or holds a NUL: a call would otherwise open the shorter name before
// it (or, for a mutex, make an unnamed one).
std::optional<std::wstring> WideName(std::u16string_view path);

inline wchar_t* WideBuffer(char16_t* buffer) { return reinterpret_cast<wchar_t*>(buffer); }

// Text that a call returned in a record, up to its terminator but never past
// the maxChars characters the record holds.
std::u16string_view TextWithin(const wchar_t* text, std::size_t maxChars);

// Our handle enums carry the Windows HANDLE value; 0 stays "no handle", so an
// INVALID_HANDLE_VALUE from a failed open never leaves the backend.
template <typename Handle>
Handle FromNative(HANDLE native) {
  if (native == nullptr || native == INVALID_HANDLE_VALUE) return Handle::None;
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(native));
}

template <typename Handle>
HANDLE ToNative(Handle handle) {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

}  // namespace vx::platform::win32_backend
