// The diagnostic channel: off until a sink is installed, each sink gets the
// levels it asked for, and cause lines are formatted whole.
#include "base/diagnostics.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vx {
namespace {

using Lines = std::vector<std::pair<DiagnosticLevel, std::string>>;

void ReportBoth() {
  ReportCause("lock: not obtained within %u ms (%s)", 5000u, "held");
  Diagnose(DiagnosticLevel::Request, "SCSI in 16 D0 00 00 00 1B 7E -> ok");
}

TEST(Diagnostics, EachSinkGetsTheLevelsItAskedForAndNothingWithoutOne) {
  const auto cause = std::make_pair(DiagnosticLevel::Cause, std::string("lock: not obtained within 5000 ms (held)"));
  const auto request = std::make_pair(DiagnosticLevel::Request, std::string("SCSI in 16 D0 00 00 00 1B 7E -> ok"));
  const struct {
    DiagnosticLevel deepest;
    Lines expected;
  } cases[] = {
      {DiagnosticLevel::Cause, {cause}},
      {DiagnosticLevel::Request, {cause, request}},
  };
  for (const auto& c : cases) {
    Lines seen;
    SetDiagnosticSink([&](DiagnosticLevel level, std::string_view line) { seen.emplace_back(level, line); },
                      c.deepest);
    EXPECT_TRUE(DiagnosticWanted(DiagnosticLevel::Cause));
    EXPECT_EQ(DiagnosticWanted(DiagnosticLevel::Request), c.deepest == DiagnosticLevel::Request);
    ReportBoth();
    SetDiagnosticSink({}, DiagnosticLevel::Request);
    ReportBoth();  // off again: nothing more arrives
    EXPECT_EQ(seen, c.expected);
  }
  EXPECT_FALSE(DiagnosticWanted(DiagnosticLevel::Cause));
}

TEST(Diagnostics, LongCauseLinesArriveWhole) {
  std::string seen;
  SetDiagnosticSink([&](DiagnosticLevel, std::string_view line) { seen = line; }, DiagnosticLevel::Cause);
  const std::string path(1000, 'p');
  ReportCause("SCSI %s: did not open", path.c_str());
  SetDiagnosticSink({}, DiagnosticLevel::Cause);
  EXPECT_EQ(seen, "SCSI " + path + ": did not open");
}

}  // namespace
}  // namespace vx
