// The sender: one vendor request, executed by the platform's SCSI
// pass-through on a freshly opened handle to the bridge's disk interface.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"
#include "transport/vendor_request.h"

namespace vx {

// Every request is executed with this time-out.
inline constexpr std::uint32_t kPassThroughTimeoutSeconds = 5;

// Opens the record's disk path, executes the request with a 5-second
// time-out, closes the path; true when the SCSI status is 0 or 1 and an in
// command delivered every byte asked for. A request
// with an unknown block length, or with a data phase but no buffer, is
// refused before the path is opened. Every request that gets as far as
// opening the path is reported to the request trace, including one whose
// path did not open.
bool SendPassThrough(const DeviceRecord& device, VendorRequest& request);

}  // namespace vx
