// The diagnostic channel's lines, both levels kept apart, collected while
// the object lives. The channel hands lines over one at a time, so threads
// may report concurrently; read the lines once they have ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/diagnostics.h"

namespace vx::test {

class DiagnosticCapture {
 public:
  DiagnosticCapture() {
    SetDiagnosticSink(
        [this](DiagnosticLevel level, std::string_view line) {
          (level == DiagnosticLevel::Cause ? causes : requests).emplace_back(line);
        },
        DiagnosticLevel::Request);
  }
  ~DiagnosticCapture() { SetDiagnosticSink({}, DiagnosticLevel::Cause); }
  DiagnosticCapture(const DiagnosticCapture&) = delete;
  DiagnosticCapture& operator=(const DiagnosticCapture&) = delete;

  // The cause lines, each ending in "\n".
  std::string CauseText() const {
    std::string text;
    for (const std::string& line : causes) text += line + "\n";
    return text;
  }

  std::vector<std::string> causes;
  std::vector<std::string> requests;
};

}  // namespace vx::test
