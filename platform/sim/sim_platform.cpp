#include "platform/sim/sim_platform.h"

namespace vx::platform::sim {

SimPlatform::SimPlatform() = default;
SimPlatform::~SimPlatform() = default;

Platform SimPlatform::Apis() {
  Platform apis;
  apis.clock = &clockApi_;
  apis.files = &files_;
  apis.profile = &profile_;
  apis.mutexes = &mutexes_;
  apis.scsi = &scsi_;
  apis.winusb = &winusb_;
  machineAreas_.Install(apis);
  return apis;
}

void SimPlatform::AttachBridge(emu::Bridge& bridge, std::u16string_view diskPath, std::u16string_view winusbPath) {
  bridges_.AttachDisk(diskPath, bridge);
  bridges_.AttachWinUsb(winusbPath, bridge);
}

}  // namespace vx::platform::sim
