#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/device_table_scope.h"
#include "cli/exit_codes.h"
#include "flash/flash_operations.h"
#include "platform/text.h"

namespace vx::cli {

namespace {

// Writes the whole buffer to path through a temporary file, so that a
// failed write never leaves a partial backup under the final name.
bool SaveFile(const std::string& path, const std::vector<std::uint8_t>& content, std::string& error) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  error = std::strerror(written && closed ? errno : writeErrno);
  std::remove(temporary.c_str());
  return false;
}

}  // namespace

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
  std::vector<std::uint8_t> content(options.length, 0xFF);
  if (!ReadFlash(device, options.address, content.data(), options.length)) {
    std::fprintf(stderr, "Reading %u bytes from flash address 0x%06X failed; nothing was saved.\n", options.length,
                 options.address);
    return kExitDeviceRead;
  }
  std::string error;
  if (!SaveFile(options.readFile, content, error)) {
    std::fprintf(stderr, "Could not write '%s': %s\n", options.readFile.c_str(), error.c_str());
    return kExitFileError;
  }
  std::printf("Saved %u bytes from flash address 0x%06X of the bridge in slot %d to '%s'.\n", options.length,
              options.address, device.slot, options.readFile.c_str());
  return kExitOk;
}

}  // namespace vx::cli
