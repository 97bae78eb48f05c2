#include "platform/linux/scsi_disks.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/linux/sysfs_files.h"

namespace vx::platform::linux_backend {

namespace {

constexpr std::uint32_t kTypeDirectAccess = 0;
constexpr std::uint32_t kTypeReducedBlockCommands = 14;

bool StartsWithNumber(const std::string& name, std::string_view prefix) {
  return name.size() > prefix.size() && name.starts_with(prefix) && name[prefix.size()] >= '0' &&
         name[prefix.size()] <= '9';
}

// The single entry of a class directory ("block", "scsi_generic").
std::string OnlyEntry(const std::string& directory) {
  const auto names = ListEntries(directory);
  return names.empty() ? std::string() : names.front();
}

std::optional<ScsiDisk> ReadDisk(const std::string& directory, const std::string& name) {
  const auto address = ParseScsiAddress(name);
  if (!address) return std::nullopt;
  const auto type = ReadNumber(directory + "/type", 10);
  if (!type || (*type != kTypeDirectAccess && *type != kTypeReducedBlockCommands)) return std::nullopt;
  ScsiDisk disk;
  disk.name = name;
  disk.address = *address;
  disk.blockName = OnlyEntry(directory + "/block");
  if (disk.blockName.empty()) return std::nullopt;
  disk.sgName = OnlyEntry(directory + "/scsi_generic");
  disk.vendor = ReadAttribute(directory + "/vendor").value_or("");
  disk.model = ReadAttribute(directory + "/model").value_or("");
  disk.driver = BoundDriver(directory);
  return disk;
}

}  // namespace

std::vector<ScsiDisk> ScsiDisksBelow(const std::string& interfaceDirectory) {
  std::vector<ScsiDisk> disks;
  for (const auto& host : ListEntries(interfaceDirectory)) {
    if (!StartsWithNumber(host, "host")) continue;
    const std::string hostDirectory = interfaceDirectory + "/" + host;
    for (const auto& target : ListEntries(hostDirectory)) {
      if (!StartsWithNumber(target, "target")) continue;
      const std::string targetDirectory = hostDirectory + "/" + target;
      for (const auto& lun : ListEntries(targetDirectory)) {
        if (auto disk = ReadDisk(targetDirectory + "/" + lun, lun)) disks.push_back(std::move(*disk));
      }
    }
  }
  std::sort(disks.begin(), disks.end(), [](const ScsiDisk& a, const ScsiDisk& b) { return a.address < b.address; });
  return disks;
}

std::string BoundDriver(const std::string& deviceDirectory) {
  char target[PATH_MAX];
  const std::string link = deviceDirectory + "/driver";
  const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
  if (length <= 0) return {};
  const std::string text(target, static_cast<std::size_t>(length));
  const std::size_t slash = text.find_last_of('/');
  return slash == std::string::npos ? text : text.substr(slash + 1);
}

}  // namespace vx::platform::linux_backend
