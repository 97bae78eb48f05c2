// The terminal an output goes to.
#pragma once

namespace vx::cli {

// Columns of the terminal behind fd; 0 when fd is no terminal or does not
// say.
int TerminalColumns(int fd);

// Whether fd is a terminal that can redraw a line in place (carriage return,
// then erase to the end of the line). On Windows the console is switched to
// understand those escape codes; a console that cannot be gets no live line.
bool CanRedrawLine(int fd);

}  // namespace vx::cli
