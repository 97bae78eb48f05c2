// Every bridge found. Returns the program's exit code.
#pragma once

namespace vx::cli {

int RunListCommand();

}  // namespace vx::cli
