// The program's command line after the program's name, as UTF-8 text.
// Windows hands main() its arguments in the ANSI code page, which cannot
// hold every character of a file name; there they are read from the
// system's wide command line instead. Elsewhere they are main()'s own.
#pragma once

#include <string>
#include <vector>

namespace vx::frontend {

// argc and argv as main() has them; a Windows program started at wWinMain
// passes 0 and null.
std::vector<std::string> ProgramArguments(int argc, const char* const* argv);

}  // namespace vx::frontend
