#include "cli/list_command.h"

#include <cstdio>
#include <vector>

#include "cli/bridge_description.h"
#include "cli/device_table_scope.h"
#include "cli/exit_codes.h"
#include "cli/json_report.h"

namespace vx::cli {

int RunListCommand(const Options& options) {
  std::vector<FoundBridge> bridges;
  const bool searched = CanSearchForBridges();  // says why not on standard error
  if (searched) {
    const DeviceTableScope devices;
    for (std::int32_t i = 0; i < devices.Count(); ++i) bridges.push_back(FindBlockDevice(devices.Record(i)));
  }
  if (options.json) {
    std::printf("%s\n", BridgeListJson(bridges).c_str());
  } else {
    for (std::size_t i = 0; i < bridges.size(); ++i) {
      if (i > 0) std::putchar('\n');
      std::fputs(DescribeBridge(bridges[i]).c_str(), stdout);
    }
  }
  if (!bridges.empty()) return kExitOk;
  if (searched) std::fputs("No bridge found.\n", options.json ? stderr : stdout);
  return kExitNoDevice;
}

}  // namespace vx::cli
