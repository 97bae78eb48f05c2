#include "cli/interrupt_guard.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include "cli/exit_codes.h"

namespace vx::cli {

namespace {

using Handler = void (*)(int);

std::atomic<bool> g_protected{false};
static_assert(std::atomic<bool>::is_always_lock_free);

Handler g_previousInt = SIG_DFL;
Handler g_previousTerm = SIG_DFL;

void Say(const char* text, std::size_t length) {
  // Nothing to do when the terminal is gone.
  if (::write(STDERR_FILENO, text, length) < 0) return;
}

extern "C" void OnInterrupt(int signal) {
  // Some C libraries (Windows') reset the handler before calling it.
  std::signal(signal, OnInterrupt);
  if (g_protected.load()) {
    static constexpr char kMessage[] =
        "\nThe update must finish: interrupting it could leave the bridge unusable. Please wait.\n";
    Say(kMessage, sizeof kMessage - 1);
    return;
  }
  static constexpr char kMessage[] = "\nInterrupted; nothing was written to the bridge.\n";
  Say(kMessage, sizeof kMessage - 1);
  std::_Exit(kExitInterrupted);
}

}  // namespace

InterruptGuard::InterruptGuard() {
  g_protected = false;
  g_previousInt = std::signal(SIGINT, OnInterrupt);
  g_previousTerm = std::signal(SIGTERM, OnInterrupt);
}

InterruptGuard::~InterruptGuard() {
  std::signal(SIGINT, g_previousInt == SIG_ERR ? SIG_DFL : g_previousInt);
  std::signal(SIGTERM, g_previousTerm == SIG_ERR ? SIG_DFL : g_previousTerm);
  g_protected = false;
}

void InterruptGuard::Protect() { g_protected = true; }

}  // namespace vx::cli
