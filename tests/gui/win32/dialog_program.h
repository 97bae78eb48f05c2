// The dialog program under test, started in a scratch folder of its own with
// its settings file, firmware and simulated bridge state there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vx::testing {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder, removed with its content at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::filesystem::path operator/(const std::wstring& name) const { return path_ / name; }
  void Write(const std::wstring& name, const std::string& text) const;
  void Write(const std::wstring& name, const Bytes& bytes) const;
  Bytes Read(const std::wstring& name) const;

 private:
  std::filesystem::path path_;
};

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
