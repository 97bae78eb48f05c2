#include "cli/interrupt_guard.h"

#include <array>
#include <atomic>
#include <csignal>
#include <unistd.h>

#include "cli/exit_codes.h"
#include "frontend/interrupted_file.h"

namespace vx::cli {

namespace {

std::atomic<bool> g_protected{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Every signal whose default action ends the program and that an operator or
// a closing session sends.
constexpr std::array<int, 4> kInterrupts = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

struct sigaction g_previous[kInterrupts.size()];
struct sigaction g_previousPipe;

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
  if (const char* path = frontend::FileToRemoveOnInterrupt()) ::unlink(path);
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
  // One handler at a time: a second signal waits until the first is handled.
  for (const int signal : kInterrupts) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kInterrupts.size(); ++i) sigaction(kInterrupts[i], &action, &g_previous[i]);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, &g_previousPipe);
}

InterruptGuard::~InterruptGuard() {
  for (std::size_t i = 0; i < kInterrupts.size(); ++i) sigaction(kInterrupts[i], &g_previous[i], nullptr);
  sigaction(SIGPIPE, &g_previousPipe, nullptr);
  g_protected = false;
  frontend::RemoveOnInterrupt(nullptr);
}

void InterruptGuard::Protect() { g_protected = true; }

}  // namespace vx::cli
