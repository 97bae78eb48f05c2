// The platform version on Windows: GetVersionExW. Without a manifest that
// names newer systems, Windows 8.1 and later report themselves as 6.2.
#pragma once

#include "platform/system_api.h"

namespace vx::platform::win32_backend {

class Win32System final : public SystemApi {
 public:
  bool GetVersion(OsVersion& version) override;
};

}  // namespace vx::platform::win32_backend
