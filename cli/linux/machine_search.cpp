#include "cli/machine_search.h"

#include "base/text.h"
#include "platform/linux/linux_platform.h"

namespace vx::cli {

namespace {

namespace backend = platform::linux_backend;

bool SearchesForBridges(Command command) { return command != Command::Config && command != Command::Help; }

std::string Listed(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

void WarnAboutMountedDisks(std::FILE* err) {
  for (const auto& disk : backend::CurrentBridgeDisks()) {
    if (disk.mountPoints.empty()) continue;
    std::fprintf(err,
                 "Warning: %s of %s is mounted on %s. The update rewrites the disk-image area behind that file "
                 "system: unmount it first.\n",
                 disk.blockDevice.c_str(), disk.device.c_str(), Listed(disk.mountPoints).c_str());
  }
}

}  // namespace

void PrepareMachineSearch(const platform::Platform& real, const frontend::ProgramPaths& paths, Command command,
                          std::FILE* err) {
  backend::UseBridgeIds(backend::ReadBridgeIds(*real.profile, paths.settingsPath));
  if (command == Command::Update) WarnAboutMountedDisks(err);
}

void ReportMachineNotices(Command command, std::FILE* err) {
  if (!SearchesForBridges(command)) return;
  for (const auto& notice : backend::DeviceNotices()) std::fprintf(err, "Note: %s\n", notice.c_str());
}

std::optional<BlockDevice> BlockDeviceOf(const DeviceRecord& device) {
  backend::DiskUse use = backend::DescribeDisk(TextOf(device.diskPath));
  if (use.blockDevice.empty()) return std::nullopt;
  return BlockDevice{std::move(use.blockDevice), std::move(use.mountPoints)};
}

}  // namespace vx::cli
