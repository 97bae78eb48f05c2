#include "cli/trace_output.h"

#include <cerrno>
#include <cstring>

#include "transport/request_trace.h"

namespace vx::cli {

TraceOutput::~TraceOutput() {
  if (file_ == nullptr) return;
  SetRequestTraceSink({});
  if (ownsFile_) std::fclose(file_);
}

bool TraceOutput::Start(const std::string& path, std::string& error) {
  if (path.empty()) {
    file_ = stderr;
  } else {
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
      error = "cannot write the trace file '" + path + "': " + std::strerror(errno);
      return false;
    }
    ownsFile_ = true;
  }
  std::FILE* file = file_;
  SetRequestTraceSink([file](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputc('\n', file);
    std::fflush(file);
  });
  return true;
}

}  // namespace vx::cli
