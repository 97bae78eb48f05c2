#include "tests/gui/win32/dialog_program.h"

namespace vx::testing {

std::wstring gProgramPath;

namespace {

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

}  // namespace

DialogProgram::DialogProgram(const std::vector<std::wstring>& args) {
  std::wstring commandLine = Quoted(gProgramPath);
  for (const std::wstring& arg : args) commandLine += L" " + Quoted(arg);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    process_ = {};
  }
}

DialogProgram::~DialogProgram() {
  if (!Started()) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

long DialogProgram::WaitForExit(DWORD timeoutMs) {
  if (!Started() || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<long>(code);
}

}  // namespace vx::testing
