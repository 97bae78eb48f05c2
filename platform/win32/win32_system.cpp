#include "platform/win32/win32_system.h"

#include <windows.h>

namespace vx::platform::win32_backend {

bool Win32System::GetVersion(OsVersion& version) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExW(&info)) return false;
  version = {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.dwPlatformId};
  return true;
}

}  // namespace vx::platform::win32_backend
