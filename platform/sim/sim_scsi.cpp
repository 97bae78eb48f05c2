#include "platform/sim/sim_scsi.h"

#include "emulator/bridge.h"

namespace vx::platform::sim {

namespace {

constexpr std::uint8_t kMaxCdbLength = 16;

}  // namespace

DeviceHandle SimScsi::Open(std::u16string_view path) {
  emu::Bridge* bridge = bridges_.FindDisk(path);
  if (bridge == nullptr || !bridge->Present()) return DeviceHandle::None;
  std::lock_guard lock(mutex_);
  open_.emplace(++lastHandle_, bridge);
  return static_cast<DeviceHandle>(lastHandle_);
}

emu::Bridge* SimScsi::Lookup(DeviceHandle device) const {
  std::lock_guard lock(mutex_);
  auto it = open_.find(static_cast<std::uintptr_t>(device));
  return it == open_.end() ? nullptr : it->second;
}

bool SimScsi::PassThroughDirect(DeviceHandle device, const ScsiRequest& request, std::uint8_t& scsiStatus) {
  emu::Bridge* bridge = Lookup(device);
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
  scsiStatus = result.status;
  return true;
}

void SimScsi::Close(DeviceHandle device) {
  std::lock_guard lock(mutex_);
  if (open_.erase(static_cast<std::uintptr_t>(device)) == 0) ++badCloses_;
}

std::size_t SimScsi::OpenHandles() const {
  std::lock_guard lock(mutex_);
  return open_.size();
}

std::size_t SimScsi::BadCloses() const {
  std::lock_guard lock(mutex_);
  return badCloses_;
}

}  // namespace vx::platform::sim
