// Signals that end a console program (Ctrl+C, Ctrl+\, SIGTERM, and SIGHUP
// when the terminal or the remote session goes away) end this one at once,
// except while it protects an update: then they only say that the update must
// finish, so a bridge is never left half written. SIGPIPE is ignored for the
// whole run: a reader of the output or of the trace that goes away only makes
// those writes fail. On Windows the same holds for Ctrl+C, Ctrl+Break and the
// closing of the console (cli/linux, cli/win32). An interrupt that ends the
// program removes the file registered in frontend/interrupted_file.h.
#pragma once

namespace vx::cli {

class InterruptGuard {
 public:
  InterruptGuard();   // installs the handlers
  ~InterruptGuard();  // restores the previous ones
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  // From Protect() on, interrupts no longer end the program.
  void Protect();
};

}  // namespace vx::cli
