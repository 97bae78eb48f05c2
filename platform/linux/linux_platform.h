// The real Linux backend: the areas it provides, for platform::Install.
#pragma once

#include "platform/platform.h"

namespace vx::platform::linux_backend {

const Platform& LinuxPlatform();

}  // namespace vx::platform::linux_backend
