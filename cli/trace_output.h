// --trace: every request that reaches a bridge, one line each, to a file or
// to standard error, for as long as the object lives.
#pragma once

#include <cstdio>
#include <string>

namespace vx::cli {

class TraceOutput {
 public:
  TraceOutput() = default;
  ~TraceOutput();
  TraceOutput(const TraceOutput&) = delete;
  TraceOutput& operator=(const TraceOutput&) = delete;

  // Starts tracing to path (standard error when empty); false with a
  // message in error when the file cannot be made.
  bool Start(const std::string& path, std::string& error);

 private:
  std::FILE* file_ = nullptr;
  bool ownsFile_ = false;
};

}  // namespace vx::cli
