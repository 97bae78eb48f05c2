#include "cli/read_command.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/device_table_scope.h"
#include "cli/exit_codes.h"
#include "flash/flash_capacity.h"
#include "flash/flash_operations.h"
#include "frontend/file_replace.h"

namespace vx::cli {

int RunReadCommand(const Options& options) {
  if (!CanSearchForBridges()) return kExitNoDevice;
  const DeviceTableScope devices;
  if (!devices.Found()) {
    std::puts("No bridge found.");
    return kExitNoDevice;
  }
  const DeviceRecord device = devices.Record(0);
  if (IsEmpty(device.diskPath)) {
    std::fputs("The first bridge has no disk interface, so its flash cannot be read.\n", stderr);
    return kExitDeviceRead;
  }
  if (device.flashChip == nullptr) {
    std::fputs("The flash chip behind the first bridge was not identified, so it cannot be read.\n", stderr);
    return kExitDeviceRead;
  }
  // A flash answers addresses past its end from its start again, so such a
  // read would save the configuration and code under the wrong addresses.
  if (!FlashRangeExists(device, options.address, options.length)) {
    std::fprintf(stderr,
                 "The range of %u bytes from flash address 0x%06X runs past the end of the bridge's flash; "
                 "nothing was read.\n",
                 options.length, options.address);
    return kExitUsage;
  }
  std::vector<std::uint8_t> content(options.length, 0xFF);
  if (!ReadFlash(device, options.address, content.data(), options.length)) {
    std::fprintf(stderr, "Reading %u bytes from flash address 0x%06X failed; nothing was saved.\n", options.length,
                 options.address);
    return kExitDeviceRead;
  }
  std::string error;
  if (!frontend::ReplaceFile(options.readFile, content, error)) {
    std::fprintf(stderr, "Could not write '%s': %s\n", options.readFile.c_str(), error.c_str());
    return kExitFileError;
  }
  std::printf("Saved %u bytes from flash address 0x%06X of the bridge in slot %d to '%s'.\n", options.length,
              options.address, device.slot, options.readFile.c_str());
  return kExitOk;
}

}  // namespace vx::cli
