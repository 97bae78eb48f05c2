// Platform version, shaped after GetVersionExW.
#pragma once

#include <cstdint>

namespace vx::platform {

// OSVERSIONINFOW.dwPlatformId of the NT family (VER_PLATFORM_WIN32_NT).
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

struct OsVersion {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
};

class SystemApi {
 public:
  virtual ~SystemApi() = default;
  virtual bool GetVersion(OsVersion& version) = 0;
};

}  // namespace vx::platform
