#include "transport/pass_through.h"

#include "platform/platform.h"
#include "platform/scsi_api.h"
#include "transport/request_trace.h"

namespace vx {

namespace {

// The bridge completes a vendor command with status 0 (good) or 1; anything
// else, a check condition included, is a failed command.
constexpr std::uint8_t kLastSuccessStatus = 1;

bool IsSendable(const VendorRequest& request) {
  const bool knownBlock = request.cdbLength == 6 || request.cdbLength == 10 || request.cdbLength == 16;
  return knownBlock && (request.transferLength == 0 || request.data != nullptr);
}

bool Execute(std::u16string_view path, const VendorRequest& request) {
  if (path.empty()) return false;
  platform::ScsiApi& scsi = platform::Scsi();
  const platform::DeviceHandle device = scsi.Open(path);
  if (device == platform::DeviceHandle::None) return false;
  const platform::ScsiRequest scsiRequest{
      request.cdb,
      request.cdbLength,
      request.direction == DataDirection::In ? platform::ScsiDirection::In : platform::ScsiDirection::Out,
      request.transferLength,
      request.data,
      kPassThroughTimeoutSeconds,
  };
  platform::ScsiCompletion completion;
  const bool carried = scsi.PassThroughDirect(device, scsiRequest, completion);
  scsi.Close(device);
  // Bytes an in command did not deliver would be taken for data: a short
  // read is a failed one.
  const bool delivered = request.direction == DataDirection::Out || completion.transferred >= request.transferLength;
  return carried && completion.status <= kLastSuccessStatus && delivered;
}

}  // namespace

bool SendPassThrough(const DeviceRecord& device, VendorRequest& request) {
  if (!IsSendable(request)) return false;
  const bool ok = Execute(TextOf(device.diskPath), request);
  TraceScsiRequest(request, ok);
  return ok;
}

}  // namespace vx
