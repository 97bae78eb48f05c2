// What the command line adds around a search for bridges on the real
// machine, which depends on the system (cli/linux, cli/win32). On Linux: the
// bridge IDs from the settings, a warning before an update when a bridge's
// disk is mounted, and afterwards whatever kept a bridge-like device out of
// reach (permissions, a disk not there yet, a missing driver). Windows
// reports these itself, and nothing is added there.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bridge/device_record.h"
#include "cli/options.h"
#include "frontend/program_paths.h"
#include "platform/platform.h"

namespace vx::cli {

// Before the command runs on the real machine.
void PrepareMachineSearch(const platform::Platform& real, const frontend::ProgramPaths& paths, Command command,
                          std::FILE* err);
// After it ran.
void ReportMachineNotices(Command command, std::FILE* err);

// The block device of a bridge's disk found on Linux ("/dev/sdb") and where
// its file systems are mounted; none when the disk path names no block
// device, and on Windows, where the drive letters say it.
struct BlockDevice {
  std::string path;
  std::vector<std::string> mountPoints;
};
std::optional<BlockDevice> BlockDeviceOf(const DeviceRecord& device);

}  // namespace vx::cli
