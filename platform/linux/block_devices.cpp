#include "platform/linux/block_devices.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/linux/sysfs_files.h"

namespace vx::platform::linux_backend {

namespace {

bool IsNodeName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

bool IsSgName(std::string_view name) {
  return name.size() > 2 && name.starts_with("sg") &&
         std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The mount table escapes space, tab, newline and backslash as \ooo.
std::string Unescaped(const std::string& field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                       std::all_of(field.begin() + i + 1, field.begin() + i + 4, [](char c) { return c >= '0' && c <= '7'; });
    if (octal) {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

}  // namespace

std::string BlockDeviceName(const SystemPaths& paths, std::string_view diskPath) {
  const std::string prefix = paths.dev + "/";
  if (!diskPath.starts_with(prefix)) return {};
  const std::string name(diskPath.substr(prefix.size()));
  if (!IsNodeName(name)) return {};
  if (IsSgName(name)) {
    const auto blocks = ListEntries(paths.sys + "/class/scsi_generic/" + name + "/device/block");
    return blocks.empty() ? std::string() : blocks.front();
  }
  return IsDirectory(paths.sys + "/class/block/" + name) ? name : std::string();
}

std::vector<std::string> MountPoints(const SystemPaths& paths, const std::string& blockName) {
  std::vector<std::string> sources{"/dev/" + blockName};
  for (const auto& entry : ListEntries(paths.sys + "/class/block/" + blockName)) {
    if (entry.size() > blockName.size() && entry.starts_with(blockName)) sources.push_back("/dev/" + entry);
  }
  std::vector<std::string> points;
  std::ifstream table(paths.proc + "/self/mounts");
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string source, target;
    if (!(fields >> source >> target)) continue;
    if (std::find(sources.begin(), sources.end(), Unescaped(source)) != sources.end())
      points.push_back(Unescaped(target));
  }
  return points;
}

}  // namespace vx::platform::linux_backend
