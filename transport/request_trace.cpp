#include "transport/request_trace.h"

#include <cstdio>
#include <string>

#include "base/diagnostics.h"

namespace vx {

namespace {

const char* Outcome(bool ok) { return ok ? "ok" : "fail"; }

// Hands a line to the diagnostic channel; the line is only built when a sink
// takes it.
template <typename Format>
void Emit(Format format) {
  if (DiagnosticWanted(DiagnosticLevel::Request)) Diagnose(DiagnosticLevel::Request, format());
}

}  // namespace

void TraceScsiRequest(const VendorRequest& request, bool ok) {
  Emit([&] {
    std::string line = request.direction == DataDirection::In ? "SCSI in " : "SCSI out ";
    line += std::to_string(request.transferLength);
    char hex[4];
    for (std::uint8_t i = 0; i < request.cdbLength && i < sizeof(request.cdb); ++i) {
      std::snprintf(hex, sizeof(hex), " %02X", request.cdb[i]);
      line += hex;
    }
    line += " -> ";
    line += Outcome(ok);
    return line;
  });
}

void TraceUsbRequest(const platform::UsbSetupPacket& setup, bool ok) {
  Emit([&] {
    char line[64];
    std::snprintf(line, sizeof(line), "USB %02X %02X %04X %04X %u -> %s", setup.requestType, setup.request,
                  setup.value, setup.index, static_cast<unsigned>(setup.length), Outcome(ok));
    return std::string(line);
  });
}

}  // namespace vx
