// What the SG_IO sender reports: the errno of a path that did not open or of
// a failed ioctl, host and driver status, and a refused request's status
// with its sense data; nothing for a request that went well.
#include "platform/linux/sg_diagnosis.h"

#include <gtest/gtest.h>

#include "platform/linux/linux_scsi.h"
#include "tests/support/diagnostic_capture.h"

namespace vx::platform::linux_backend {
namespace {

const std::uint8_t kChipInfo[6] = {0xD0, 0x00, 0x00, 0x00, 0x1B, 0x7E};

TEST(SgDiagnosis, ReportsTheErrnoOfAPathThatDidNotOpenAndOfAFailedIoctl) {
  const test::DiagnosticCapture diagnostics;
  LinuxScsi scsi;
  EXPECT_EQ(scsi.Open(u"/nonexistent/vx94c6/sg0"), DeviceHandle::None);

  const DeviceHandle device = scsi.Open(u"/dev/null");  // opens, but is no SCSI device
  ASSERT_NE(device, DeviceHandle::None);
  std::uint8_t data[16] = {};
  ScsiCompletion completion;
  EXPECT_FALSE(scsi.PassThroughDirect(device, {kChipInfo, 6, ScsiDirection::In, 16, data, 5}, completion));
  scsi.Close(device);
  EXPECT_EQ(diagnostics.CauseText(),
            "SCSI /nonexistent/vx94c6/sg0: did not open: No such file or directory (errno 2)\n"
            "SCSI D0 00 00 00 1B 7E: SG_IO failed: Inappropriate ioctl for device (errno 25)\n");
}

TEST(SgDiagnosis, ReportsWhatTheKernelAndTheDeviceSaid) {
  std::uint8_t sense[32] = {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x00};
  const struct {
    unsigned char status;
    unsigned short hostStatus, driverStatus;
    unsigned char senseWritten;
    const char* line;  // after "SCSI D0 00 00 00 1B 7E: "; empty: none
  } cases[] = {
      {0x00, 0, 0, 0, ""},
      {0x02, 0, 0x08, 18, "check condition, sense key 5 (illegal request), ASC 24 ASCQ 00"},
      {0x02, 0, 0, 0, "check condition without sense data"},
      {0x08, 0, 0, 0, "busy (status 08)"},
      {0x00, 0x03, 0, 0, "not carried out: host status 03 (time-out), driver status 00"},
      {0x00, 0x07, 0x06, 0, "not carried out: host status 07 (host adapter error), driver status 06"},
      {0x00, 0, 0x06, 0, "not carried out: host status 00 (other), driver status 06"},
  };
  for (const auto& c : cases) {
    const test::DiagnosticCapture diagnostics;
    sg_io_hdr_t header{};
    header.status = c.status;
    header.host_status = c.hostStatus;
    header.driver_status = c.driverStatus;
    header.sbp = sense;
    header.sb_len_wr = c.senseWritten;
    ReportSgOutcome({kChipInfo, 6, ScsiDirection::In, 16, nullptr, 5}, header);
    const std::string expected = *c.line ? std::string("SCSI D0 00 00 00 1B 7E: ") + c.line + "\n" : "";
    EXPECT_EQ(diagnostics.CauseText(), expected);
  }
}

}  // namespace
}  // namespace vx::platform::linux_backend
