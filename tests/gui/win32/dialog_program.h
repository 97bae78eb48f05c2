// The dialog program under test, started with the arguments a test gives it
// and ended at the latest with the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vx::testing {

class DialogProgram {
 public:
  // Starts the program with the arguments (each quoted); it is ended at the
  // latest when the object goes.
  explicit DialogProgram(const std::vector<std::wstring>& args);
  ~DialogProgram();
  DialogProgram(const DialogProgram&) = delete;
  DialogProgram& operator=(const DialogProgram&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  DWORD Pid() const { return process_.dwProcessId; }
  // Waits for the program to end; its exit code, or -1 when it did not end
  // within the time-out.
  long WaitForExit(DWORD timeoutMs = 30000);

 private:
  PROCESS_INFORMATION process_{};
};

// The program's path, set by the test's main from its command line.
extern std::wstring gProgramPath;

}  // namespace vx::testing
