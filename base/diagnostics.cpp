#include "base/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

namespace vx {

namespace {

std::mutex g_sinkLock;
DiagnosticSink g_sink;
DiagnosticLevel g_deepest = DiagnosticLevel::Cause;

bool Takes(DiagnosticLevel level) { return g_sink && level <= g_deepest; }

}  // namespace

void SetDiagnosticSink(DiagnosticSink sink, DiagnosticLevel deepest) {
  std::lock_guard<std::mutex> guard(g_sinkLock);
  g_sink = std::move(sink);
  g_deepest = deepest;
}

bool DiagnosticWanted(DiagnosticLevel level) {
  std::lock_guard<std::mutex> guard(g_sinkLock);
  return Takes(level);
}

void Diagnose(DiagnosticLevel level, std::string_view line) {
  std::lock_guard<std::mutex> guard(g_sinkLock);
  if (Takes(level)) g_sink(level, line);
}

void ReportCause(const char* format, ...) {
  if (!DiagnosticWanted(DiagnosticLevel::Cause)) return;
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string line(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(line.data(), line.size() + 1, format, again);
  va_end(again);
  Diagnose(DiagnosticLevel::Cause, line);
}

}  // namespace vx
