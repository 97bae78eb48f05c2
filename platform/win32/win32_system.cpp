#include "platform/win32/win32_system.h"

#include <windows.h>

namespace vx::platform::win32_backend {

static_assert(sizeof(OSVERSIONINFOW) == 276 && VER_PLATFORM_WIN32_NT == kPlatformWin32Nt);

bool Win32System::GetVersion(OsVersion& version) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExW(&info)) return false;
  version = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId};
  return true;
}

}  // namespace vx::platform::win32_backend
