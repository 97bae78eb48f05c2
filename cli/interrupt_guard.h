// Interrupts (Ctrl+C, SIGTERM) end the program at once, except while it
// protects an update: then they only say that the update must finish, so a
// bridge is never left half written.
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
