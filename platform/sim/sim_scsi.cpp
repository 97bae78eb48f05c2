#include "platform/sim/sim_scsi.h"

#include "emulator/bridge.h"

namespace vx::platform::sim {

namespace {

constexpr std::uint8_t kMaxCdbLength = 16;

}  // namespace

DeviceHandle SimScsi::Open(std::u16string_view path) {
  emu::Bridge* bridge = bridges_.FindDisk(path);
  if (bridge == nullptr || !bridge->Present()) return DeviceHandle::None;
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
  if (!result.completed) return false;
  completion = {result.status, result.transferred};
  return true;
}

void SimScsi::Close(DeviceHandle device) {
  if (!handles_.Close(device)) ++badCloses_;
}

}  // namespace vx::platform::sim
