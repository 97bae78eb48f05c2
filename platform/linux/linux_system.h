// The platform version on Linux. The backend's device tree answers parent,
// child, sibling and name lookups as the NT family does, so it reports that
// family.
#pragma once

#include "platform/system_api.h"

namespace vx::platform::linux_backend {

class LinuxSystem final : public SystemApi {
 public:
  bool GetVersion(OsVersion& version) override {
    version = {};
    version.platformId = kPlatformWin32Nt;
    return true;
  }
};

}  // namespace vx::platform::linux_backend
