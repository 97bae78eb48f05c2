#include "tests/gui/win32/dialog_program.h"

#include <atomic>
#include <fstream>
#include <iterator>

namespace vx::testing {

std::wstring gProgramPath;

namespace {

std::wstring Quoted(const std::wstring& arg) { return L"\"" + arg + L"\""; }

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  // A name outside any one ANSI code page (Latin and Greek letters, which
  // the dialog's font can show): the program must take its arguments from
  // the wide command line to find its files here.
  path_ = std::filesystem::temp_directory_path() /
          (L"vx-dialog-\u00FC\u03A9-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void ScratchFolder::Write(const std::wstring& name, const std::string& text) const {
  std::ofstream(path_ / name, std::ios::binary) << text;
}

void ScratchFolder::Write(const std::wstring& name, const Bytes& bytes) const {
  std::ofstream(path_ / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ScratchFolder::Read(const std::wstring& name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

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
