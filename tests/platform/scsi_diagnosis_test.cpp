// The lines the SCSI backends report: sense data in both formats, the status
// names, and the command block as the request trace shows it.
#include "platform/scsi_diagnosis.h"

#include <gtest/gtest.h>

#include "tests/support/diagnostic_capture.h"
#include "tests/support/test_bytes.h"

namespace vx::platform {
namespace {

using test::Bytes;

TEST(ScsiDiagnosis, DescribesTheStatusWithTheSenseCodesInEitherFormat) {
  Bytes fixed(18, 0);
  fixed[0] = 0xF0;  // current error, information field valid
  fixed[2] = 0x05;
  fixed[12] = 0x24;
  Bytes deferred = fixed;
  deferred[0] = 0x71;
  deferred[2] = 0x62;  // ILI and another flag beside sense key 2
  deferred[12] = 0x04;
  deferred[13] = 0x07;
  const struct {
    std::uint8_t status;
    Bytes sense;
    const char* text;
  } cases[] = {
      {0x02, fixed, "check condition, sense key 5 (illegal request), ASC 24 ASCQ 00"},
      {0x02, deferred, "check condition, sense key 2 (not ready), ASC 04 ASCQ 07"},
      {0x02, {0x72, 0x06, 0x29, 0x00, 0, 0, 0, 0}, "check condition, sense key 6 (unit attention), ASC 29 ASCQ 00"},
      {0x02, {0x73, 0x0B, 0x47, 0x03}, "check condition, sense key B (aborted command), ASC 47 ASCQ 03"},
      {0x02, Bytes(fixed.begin(), fixed.begin() + 13), "check condition without sense data"},  // cut short
      {0x02, {0x72, 0x06, 0x29}, "check condition without sense data"},
      {0x02, {0x7F, 0x05, 0x24, 0x00}, "check condition without sense data"},  // vendor format
      {0x02, {}, "check condition without sense data"},
      {0x08, {}, "busy (status 08)"},
      {0x18, fixed, "reservation conflict (status 18)"},
      {0x01, {}, "unknown status (status 01)"},
  };
  for (const auto& c : cases) EXPECT_EQ(DescribeScsiStatus(c.status, ParseSense(c.sense)), c.text);
}

TEST(ScsiDiagnosis, FailuresNameTheCommandBlockOrThePath) {
  const test::DiagnosticCapture diagnostics;
  const std::uint8_t cdb[10] = {0xE6, 0, 0, 0, 0x10, 0, 0, 0x02, 0, 0};
  const ScsiRequest request{cdb, 10, ScsiDirection::Out, 1024, nullptr, 5};
  ReportScsiFailure(request, "check condition without sense data");
  ReportScsiOpenFailure(u"/dev/sg3", "did not open: Permission denied (errno 13)");
  EXPECT_EQ(diagnostics.CauseText(),
            "SCSI E6 00 00 00 10 00 00 02 00 00: check condition without sense data\n"
            "SCSI /dev/sg3: did not open: Permission denied (errno 13)\n");
}

}  // namespace
}  // namespace vx::platform
