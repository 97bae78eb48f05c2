// --verbose and --trace: the diagnostic channel's lines for as long as the
// object lives. Causes go to standard error with --verbose; requests go to
// the trace file, or to standard error, with --trace.
#pragma once

#include <cstdio>
#include <string>

namespace vx::cli {

class DiagnosticOutput {
 public:
  DiagnosticOutput() = default;
  ~DiagnosticOutput();
  DiagnosticOutput(const DiagnosticOutput&) = delete;
  DiagnosticOutput& operator=(const DiagnosticOutput&) = delete;

  // Installs the sink for what is asked for (nothing when neither); the
  // trace goes to tracePath, or to standard error when it is empty. False
  // with a message in error when the trace file cannot be made.
  bool Start(bool verbose, bool trace, const std::string& tracePath, std::string& error);

 private:
  bool started_ = false;
  std::FILE* traceFile_ = nullptr;  // owned; null when tracing to standard error or not at all
};

}  // namespace vx::cli
