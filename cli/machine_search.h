// What the command line adds around a search for bridges on the real
// machine, which depends on the system (cli/linux, cli/win32). On Linux: the
// bridge IDs from the settings, a warning before an update when a bridge's
// disk is mounted, and afterwards whatever kept a bridge-like device out of
// reach (permissions, a disk not there yet, a missing driver). Windows
// reports these itself, and nothing is added there.
#pragma once

#include <cstdio>
#include <string>

#include "bridge/device_record.h"
#include "cli/options.h"
#include "cli/program_paths.h"
#include "platform/platform.h"

namespace vx::cli {

// Before the command runs on the real machine.
void PrepareMachineSearch(const platform::Platform& real, const ProgramPaths& paths, Command command, std::FILE* err);
// After it ran.
void ReportMachineNotices(Command command, std::FILE* err);

// "/dev/sdb, mounted on /media/op/BRIDGE" for the disk of a bridge found on
// Linux; empty when its disk path names no block device, and on Windows.
std::string BlockDeviceText(const DeviceRecord& device);

}  // namespace vx::cli
