#include "cli/terminal_width.h"

#include <windows.h>
#include <io.h>

namespace vx::cli {

int TerminalColumns(int fd) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)), &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace vx::cli
