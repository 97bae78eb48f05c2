#include "platform/linux/sg_diagnosis.h"

#include <cstdio>
#include <cstring>
#include <span>

#include "base/diagnostics.h"
#include "platform/scsi_diagnosis.h"

namespace vx::platform::linux_backend {

namespace {

// Set in driver_status when sense data accompanies a check condition.
constexpr unsigned kDriverSenseFlag = 0x08;

const char* HostStatusName(unsigned status) {
  switch (status) {
    case 0x01: return "no connection";
    case 0x02: return "bus busy";
    case 0x03: return "time-out";
    case 0x04: return "bad target";
    case 0x05: return "aborted";
    case 0x06: return "parity error";
    case 0x07: return "host adapter error";
    case 0x08: return "bus reset";
    case 0x09: return "bad interrupt";
    case 0x0A: return "passed through";
    case 0x0B: return "soft error, retry";
    case 0x0E: return "transport disrupted";
    default: return "other";
  }
}

std::string ErrnoText(const char* what, int error) {
  char text[160];
  std::snprintf(text, sizeof text, "%s: %s (errno %d)", what, std::strerror(error), error);
  return text;
}

}  // namespace

void ReportOpenError(const std::string& path, int error) {
  ReportCause("SCSI %s: %s", path.c_str(), ErrnoText("did not open", error).c_str());
}

void ReportSgError(const ScsiRequest& request, int error) {
  ReportScsiFailure(request, ErrnoText("SG_IO failed", error));
}

void ReportSgOutcome(const ScsiRequest& request, const sg_io_hdr_t& header) {
  const unsigned driverStatus = header.driver_status & ~kDriverSenseFlag;
  if (header.host_status != 0 || driverStatus != 0) {
    char text[128];
    std::snprintf(text, sizeof text, "not carried out: host status %02X (%s), driver status %02X",
                  static_cast<unsigned>(header.host_status), HostStatusName(header.host_status),
                  static_cast<unsigned>(header.driver_status));
    ReportScsiFailure(request, text);
  } else if (header.status != 0) {
    const auto* sense = static_cast<const std::uint8_t*>(header.sbp);
    const std::span<const std::uint8_t> senseData(sense, sense == nullptr ? 0 : header.sb_len_wr);
    ReportScsiFailure(request, DescribeScsiStatus(header.status, ParseSense(senseData)));
  }
}

}  // namespace vx::platform::linux_backend
