#include "cli/interrupt_guard.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/exit_codes.h"
#include "frontend/file_path.h"
#include "frontend/interrupted_file.h"

namespace vx::cli {

namespace {

std::atomic<bool> g_protected{false};

void Say(const char* text, DWORD length) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text, length, &written, nullptr);
}

// Runs on a thread of its own that the console starts for Ctrl+C,
// Ctrl+Break and the closing of the console window or the session.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (g_protected.load()) {
    static constexpr char kMessage[] =
        "\nThe update must finish: interrupting it could leave the bridge unusable. Please wait.\n";
    Say(kMessage, sizeof kMessage - 1);
    // Windows ends a program whose console closes once this returns, or a
    // few seconds later: holding on gives the update all the time there is.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) ::Sleep(INFINITE);
    return TRUE;
  }
  if (const char* path = frontend::FileToRemoveOnInterrupt()) {
    std::error_code ignored;
    std::filesystem::remove(frontend::FilePath(path), ignored);
  }
  static constexpr char kMessage[] = "\nInterrupted; nothing was written to the bridge.\n";
  Say(kMessage, sizeof kMessage - 1);
  std::_Exit(kExitInterrupted);
}

}  // namespace

InterruptGuard::InterruptGuard() {
  g_protected = false;
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

InterruptGuard::~InterruptGuard() {
  ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  g_protected = false;
  frontend::RemoveOnInterrupt(nullptr);
}

void InterruptGuard::Protect() { g_protected = true; }

}  // namespace vx::cli
