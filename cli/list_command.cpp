#include "cli/list_command.h"

#include <cstdio>

#include "cli/bridge_description.h"
#include "cli/device_table_scope.h"
#include "cli/exit_codes.h"

namespace vx::cli {

int RunListCommand() {
  if (!CanSearchForBridges()) return kExitNoDevice;
  const DeviceTableScope devices;
  if (!devices.Found()) {
    std::puts("No bridge found.");
    return kExitNoDevice;
  }
  for (std::int32_t i = 0; i < devices.Count(); ++i) {
    if (i > 0) std::putchar('\n');
    std::fputs(DescribeBridge(devices.Record(i)).c_str(), stdout);
  }
  return kExitOk;
}

}  // namespace vx::cli
