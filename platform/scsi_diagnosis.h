// What the SCSI backends tell the diagnostic channel when a request fails:
// one line naming the command block and what went wrong, e.g.
//
//   SCSI E6 00 00 00 10 00 00 02 00 00: check condition, sense key 5 (illegal request), ASC 21 ASCQ 00
//
// The command block reads as in the request trace, so that the two line up.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/scsi_api.h"

namespace vx::platform {

struct SenseCodes {
  std::uint8_t key;   // the sense key, 0-15
  std::uint8_t asc;   // additional sense code
  std::uint8_t ascq;  // its qualifier
};

// The codes of fixed-format (response code 70h/71h) or descriptor-format
// (72h/73h) sense data; none when the data is too short or of another kind.
std::optional<SenseCodes> ParseSense(std::span<const std::uint8_t> sense);

// "check condition, sense key 5 (illegal request), ASC 24 ASCQ 00",
// "busy (status 08)", "check condition without sense data".
std::string DescribeScsiStatus(std::uint8_t status, std::optional<SenseCodes> sense);

// "SCSI <command block>: <what>".
void ReportScsiFailure(const ScsiRequest& request, std::string_view what);
// "SCSI <path>: <what>", for a device path that did not open.
void ReportScsiOpenFailure(std::u16string_view path, std::string_view what);

}  // namespace vx::platform
