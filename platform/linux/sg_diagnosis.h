// What the SG_IO sender tells the diagnostic channel: the errno of a device
// path that did not open or of an ioctl that failed, the host adapter and
// driver status of a request the kernel could not carry, and the SCSI
// status with its sense data of a request the device refused.
#pragma once

#include <scsi/sg.h>

#include <string>

#include "platform/scsi_api.h"

namespace vx::platform::linux_backend {

void ReportOpenError(const std::string& path, int error);
void ReportSgError(const ScsiRequest& request, int error);
// Reports nothing for a request that completed with good status.
void ReportSgOutcome(const ScsiRequest& request, const sg_io_hdr_t& header);

}  // namespace vx::platform::linux_backend
