#include "cli/terminal_width.h"

#include <sys/ioctl.h>

namespace vx::cli {

int TerminalColumns(int fd) {
  winsize size{};
  if (::ioctl(fd, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

}  // namespace vx::cli
