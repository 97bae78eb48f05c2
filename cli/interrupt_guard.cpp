#include "cli/interrupt_guard.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

#include "cli/exit_codes.h"

namespace vx::cli {

namespace {

std::atomic<bool> g_protected{false};
static_assert(std::atomic<bool>::is_always_lock_free);

struct sigaction g_previousInt;
struct sigaction g_previousTerm;

void Say(const char* text, std::size_t length) {
  // Nothing to do when the terminal is gone.
  if (::write(STDERR_FILENO, text, length) < 0) return;
}

extern "C" void OnInterrupt(int) {
  if (g_protected.load()) {
    static constexpr char kMessage[] =
        "\nThe update must finish: interrupting it could leave the bridge unusable. Please wait.\n";
    Say(kMessage, sizeof kMessage - 1);
    return;
  }
  static constexpr char kMessage[] = "\nInterrupted; nothing was written to the bridge.\n";
  Say(kMessage, sizeof kMessage - 1);
  ::_exit(kExitInterrupted);
}

}  // namespace

InterruptGuard::InterruptGuard() {
  g_protected = false;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &g_previousInt);
  sigaction(SIGTERM, &action, &g_previousTerm);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &g_previousInt, nullptr);
  sigaction(SIGTERM, &g_previousTerm, nullptr);
  g_protected = false;
}

void InterruptGuard::Protect() { g_protected = true; }

}  // namespace vx::cli
