// The backend of the machine the program runs on: the real calls of Linux or
// of Windows, whichever the build links (vx_platform_native).
#pragma once

#include <string>

#include "platform/platform.h"

namespace vx::platform {

const Platform& NativePlatform();

// The running program's own file as a full path; empty when it cannot be
// told.
std::u16string ProgramFile();

}  // namespace vx::platform
