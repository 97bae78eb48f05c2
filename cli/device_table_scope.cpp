#include "cli/device_table_scope.h"

#include <cstdio>

#include "platform/platform.h"

namespace vx::cli {

bool CanSearchForBridges() {
  const platform::Platform& areas = platform::Current();
  if (areas.deviceTree && areas.hubs && areas.registry && areas.disks && areas.system && areas.scsi &&
      areas.winusb && areas.mutexes && areas.clock) {
    return true;
  }
  std::fprintf(stderr,
               "No bridge found: this build cannot search this system's USB devices for bridges.\n"
               "(--simulate runs against the emulated bridge.)\n");
  return false;
}

}  // namespace vx::cli
