// Another process holding a named mutex on Windows: the helper program
// win32_mutex_holder.exe beside the test program, talked to through pipes.
#pragma once

#include <windows.h>

#include <string>

#include "base/text.h"
#include "platform/native_platform.h"

namespace vx::test {

class MutexHolderProcess {
 public:
  // Starts the holder and waits until it answers (see Answer()).
  explicit MutexHolderProcess(std::u16string_view name) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    if (!::CreatePipe(&childInput, &toChild_, &inherit, 0) || !::CreatePipe(&fromChild_, &childOutput, &inherit, 0))
      return;
    ::SetHandleInformation(toChild_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(fromChild_, HANDLE_FLAG_INHERIT, 0);
    const std::u16string program = platform::ProgramFile();
    std::wstring command = L"\"" + std::wstring(program.begin(), program.begin() + program.find_last_of(u"\\/") + 1) +
                           L"win32_mutex_holder.exe\" \"" + std::wstring(name.begin(), name.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) {
      ::CloseHandle(started.hThread);
      process_ = started.hProcess;
    }
    ::CloseHandle(childInput);
    ::CloseHandle(childOutput);
    DWORD got = 0;
    if (process_ == nullptr || !::ReadFile(fromChild_, &answer_, 1, &got, nullptr) || got != 1) answer_ = 0;
  }
  ~MutexHolderProcess() {
    if (process_ != nullptr) {
      ::TerminateProcess(process_, 9);
      ExitCode();
    }
    for (HANDLE pipe : {toChild_, fromChild_})
      if (pipe != nullptr) ::CloseHandle(pipe);
  }
  MutexHolderProcess(const MutexHolderProcess&) = delete;
  MutexHolderProcess& operator=(const MutexHolderProcess&) = delete;

  // 'H' holding, 'A' holding after an abandonment, 'F' failed, 0 no answer.
  char Answer() const { return answer_; }
  // The holder releases the mutex and exits; true when it did so cleanly.
  bool ReleaseAndExit() { return Order('R') && ExitCode() == 0; }
  // The holder exits while holding the mutex.
  void ExitHolding() {
    Order('X');
    ExitCode();
  }

 private:
  bool Order(char order) {
    DWORD written = 0;
    return ::WriteFile(toChild_, &order, 1, &written, nullptr) && written == 1;
  }
  DWORD ExitCode() {
    DWORD code = 0xFFFFFFFF;
    if (process_ == nullptr) return code;
    if (::WaitForSingleObject(process_, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process_, &code);
    ::CloseHandle(process_);
    process_ = nullptr;
    return code;
  }

  HANDLE process_ = nullptr;
  HANDLE toChild_ = nullptr;
  HANDLE fromChild_ = nullptr;
  char answer_ = 0;
};

}  // namespace vx::test
