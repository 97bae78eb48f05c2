#include "platform/scsi_diagnosis.h"

#include <cstdio>

#include "base/diagnostics.h"
#include "base/text.h"

namespace vx::platform {

namespace {

constexpr std::uint8_t kCheckCondition = 0x02;

const char* StatusName(std::uint8_t status) {
  switch (status) {
    case 0x00: return "good";
    case 0x02: return "check condition";
    case 0x04: return "condition met";
    case 0x08: return "busy";
    case 0x18: return "reservation conflict";
    case 0x28: return "task set full";
    case 0x30: return "ACA active";
    case 0x40: return "task aborted";
    default: return "unknown status";
  }
}

const char* SenseKeyName(std::uint8_t key) {
  static const char* const kNames[16] = {
      "no sense",        "recovered error", "not ready",      "medium error",   "hardware error", "illegal request",
      "unit attention",  "data protect",    "blank check",    "vendor specific", "copy aborted",  "aborted command",
      "reserved",        "volume overflow", "miscompare",     "completed"};
  return kNames[key & 0x0F];
}

}  // namespace

std::optional<SenseCodes> ParseSense(std::span<const std::uint8_t> sense) {
  if (sense.empty()) return std::nullopt;
  const std::uint8_t responseCode = sense[0] & 0x7F;
  if ((responseCode == 0x70 || responseCode == 0x71) && sense.size() >= 14) {
    return SenseCodes{static_cast<std::uint8_t>(sense[2] & 0x0F), sense[12], sense[13]};
  }
  if ((responseCode == 0x72 || responseCode == 0x73) && sense.size() >= 4) {
    return SenseCodes{static_cast<std::uint8_t>(sense[1] & 0x0F), sense[2], sense[3]};
  }
  return std::nullopt;
}

std::string DescribeScsiStatus(std::uint8_t status, std::optional<SenseCodes> sense) {
  char text[128];
  if (status != kCheckCondition) {
    std::snprintf(text, sizeof text, "%s (status %02X)", StatusName(status), status);
  } else if (!sense) {
    std::snprintf(text, sizeof text, "check condition without sense data");
  } else {
    std::snprintf(text, sizeof text, "check condition, sense key %X (%s), ASC %02X ASCQ %02X", sense->key,
                  SenseKeyName(sense->key), sense->asc, sense->ascq);
  }
  return text;
}

void ReportScsiFailure(const ScsiRequest& request, std::string_view what) {
  if (!DiagnosticWanted(DiagnosticLevel::Cause)) return;
  std::string line = "SCSI";
  char hex[4];
  for (std::uint8_t i = 0; i < request.cdbLength && request.cdb != nullptr; ++i) {
    std::snprintf(hex, sizeof hex, " %02X", request.cdb[i]);
    line += hex;
  }
  line += ": ";
  line += what;
  Diagnose(DiagnosticLevel::Cause, line);
}

void ReportScsiOpenFailure(std::u16string_view path, std::string_view what) {
  if (!DiagnosticWanted(DiagnosticLevel::Cause)) return;
  Diagnose(DiagnosticLevel::Cause, "SCSI " + ToUtf8(path) + ": " + std::string(what));
}

}  // namespace vx::platform
