#include "cli/diagnostic_output.h"

#include <cerrno>
#include <cstring>

#include "base/diagnostics.h"
#include "frontend/file_path.h"

namespace vx::cli {

namespace {

void WriteLine(std::FILE* file, std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fflush(file);
}

}  // namespace

DiagnosticOutput::~DiagnosticOutput() {
  if (started_) SetDiagnosticSink({}, DiagnosticLevel::Cause);
  if (traceFile_ != nullptr) std::fclose(traceFile_);
}

bool DiagnosticOutput::Start(bool verbose, bool trace, const std::string& tracePath, std::string& error) {
  if (!verbose && !trace) return true;
  if (trace && !tracePath.empty()) {
    traceFile_ = frontend::OpenFile(tracePath, "w");
    if (traceFile_ == nullptr) {
      error = "cannot write the trace file '" + tracePath + "': " + std::strerror(errno);
      return false;
    }
  }
  std::FILE* requests = !trace ? nullptr : traceFile_ != nullptr ? traceFile_ : stderr;
  std::FILE* causes = verbose ? stderr : nullptr;
  SetDiagnosticSink(
      [requests, causes](DiagnosticLevel level, std::string_view line) {
        std::FILE* file = level == DiagnosticLevel::Request ? requests : causes;
        if (file != nullptr) WriteLine(file, line);
      },
      trace ? DiagnosticLevel::Request : DiagnosticLevel::Cause);
  started_ = true;
  return true;
}

}  // namespace vx::cli
