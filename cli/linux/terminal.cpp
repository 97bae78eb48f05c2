#include "cli/terminal.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace vx::cli {

int TerminalColumns(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

bool CanRedrawLine(int fd) { return ::isatty(fd) == 1; }

}  // namespace vx::cli
