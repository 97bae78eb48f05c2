// The system's own text for a Windows error code, as one line.
#pragma once

#include <windows.h>

#include <string>

namespace vx::frontend {

std::string SystemMessage(DWORD code);

}  // namespace vx::frontend
