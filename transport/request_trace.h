// The request trace, the most detailed level of the diagnostic channel: one
// line for every request sent towards a bridge, for an operator who wants to
// watch the traffic (the command-line --trace).
//
//   SCSI <in|out> <transfer length> <command block bytes, upper-case hex> -> <ok|fail>
//   USB <request type> <request> <value> <index> <length> -> <ok|fail>
//
// for example "SCSI in 16 D0 00 00 00 1B 7E -> ok" and
// "USB C0 F1 7E1B 0001 16 -> ok". A request is traced after it ran; one whose
// device path did not open is traced as fail, because the attempt is what the
// operator wants to see. Requests refused before that (a bridge lock not
// obtained, a missing buffer) never left the program and are not traced.
#pragma once

#include "platform/winusb_api.h"
#include "transport/vendor_request.h"

namespace vx {

// Each hands its line to the diagnostic channel, built only when a sink
// takes the request level.
void TraceScsiRequest(const VendorRequest& request, bool ok);
void TraceUsbRequest(const platform::UsbSetupPacket& setup, bool ok);

}  // namespace vx
