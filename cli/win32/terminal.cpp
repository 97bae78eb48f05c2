#include "cli/terminal.h"

#include <windows.h>
#include <io.h>

namespace vx::cli {

namespace {

HANDLE ConsoleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

}  // namespace

int TerminalColumns(int fd) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(ConsoleOf(fd), &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

bool CanRedrawLine(int fd) {
  DWORD mode = 0;
  if (!::GetConsoleMode(ConsoleOf(fd), &mode)) return false;  // a file or a pipe
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  return ::SetConsoleMode(ConsoleOf(fd), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace vx::cli
