#include "platform/sim/sim_scsi.h"

#include "emulator/bridge.h"
#include "platform/scsi_diagnosis.h"

namespace vx::platform::sim {

namespace {

constexpr std::uint8_t kMaxCdbLength = 16;

// The reason a check condition of the emulated bridge carries; none when it
// gave none.
std::optional<SenseCodes> SenseOf(const emu::ScsiResult& result) {
  const emu::Sense& sense = result.sense;
  if (sense.key == 0 && sense.asc == 0 && sense.ascq == 0) return std::nullopt;
  return SenseCodes{sense.key, sense.asc, sense.ascq};
}

}  // namespace

DeviceHandle SimScsi::Open(std::u16string_view path) {
  emu::Bridge* bridge = bridges_.FindDisk(path);
  if (bridge == nullptr || !bridge->Present()) {
    ReportScsiOpenFailure(path, "did not open: no bridge is attached there");
    return DeviceHandle::None;
  }
  return handles_.Open(bridge);
}

bool SimScsi::PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) {
  emu::Bridge* bridge = handles_.Find(device).value_or(nullptr);
  // An unknown handle, a malformed block or a data phase without a buffer
  // is refused before anything reaches the device.
  if (bridge == nullptr || request.cdb == nullptr || request.cdbLength == 0 || request.cdbLength > kMaxCdbLength) {
    return false;
  }
  if (request.transferLength != 0 && request.data == nullptr) return false;
  const emu::ScsiResult result = bridge->ExecuteScsi({{request.cdb, request.cdbLength},
                                                       request.direction == ScsiDirection::In,
                                                       request.transferLength,
                                                       request.data});
  if (!result.completed) {
    ReportScsiFailure(request, "the request failed on its way to the bridge");
    return false;
  }
  if (result.status != emu::scsi::kGood) ReportScsiFailure(request, DescribeScsiStatus(result.status, SenseOf(result)));
  completion = {result.status, result.transferred};
  return true;
}

void SimScsi::Close(DeviceHandle device) {
  if (!handles_.Close(device)) ++badCloses_;
}

}  // namespace vx::platform::sim
