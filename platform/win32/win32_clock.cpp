#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace vx::platform::win32_backend {

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

std::uint64_t Win32Clock::NowMs() { return ::GetTickCount64(); }

}  // namespace vx::platform::win32_backend
