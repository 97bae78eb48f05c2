// The diagnostic channel: why something failed, told by the layer that saw
// it, so that a failure on real hardware can be explained. Nothing is
// reported until a front end installs a sink (the command line does for
// --verbose and --trace); the dialog's own messages never change.
//
// Two levels. Cause: one line for each failure a layer sees, naming what it
// saw (a bridge lock not obtained, a SCSI check condition with its sense data,
// an operating-system error, the step a flash operation stopped at). Request,
// the most detailed: one line for each request sent towards a bridge (the
// request trace).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace vx {

enum class DiagnosticLevel : std::uint8_t { Cause, Request };

using DiagnosticSink = std::function<void(DiagnosticLevel level, std::string_view line)>;

// Installs the process-wide sink, which receives the lines of every level up
// to and including deepest; an empty function turns the channel off. Lines
// arrive one at a time under a lock, so lines from two threads never
// interleave inside the sink; the sink must not report or install a sink
// itself.
void SetDiagnosticSink(DiagnosticSink sink, DiagnosticLevel deepest);

// Whether lines of this level reach a sink; lets a caller build a line only
// when someone reads it.
bool DiagnosticWanted(DiagnosticLevel level);

// Hands one line to the sink, when it takes that level.
void Diagnose(DiagnosticLevel level, std::string_view line);

// A Cause line, formatted as by printf.
[[gnu::format(printf, 1, 2)]] void ReportCause(const char* format, ...);

}  // namespace vx
