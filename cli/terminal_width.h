// The width of the terminal an output goes to.
#pragma once

namespace vx::cli {

// Columns of the terminal behind fd; 0 when fd is no terminal or does not
// say.
int TerminalColumns(int fd);

}  // namespace vx::cli
