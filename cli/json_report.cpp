#include "cli/json_report.h"

#include <nlohmann/json.hpp>

#include "app/device_text.h"
#include "base/text.h"
#include "cli/bridge_description.h"
#include "cli/exit_codes.h"
#include "flash/flash_descriptor.h"
#include "flash/flash_table.h"

namespace vx::cli {

namespace {

using json = nlohmann::ordered_json;

json TextOrNull(std::u16string_view text) { return text.empty() ? json(nullptr) : json(ToUtf8(text)); }

template <typename T, typename Format>
json ValueOrNull(const std::optional<T>& value, Format format) {
  return value ? json(format(*value)) : json(nullptr);
}

std::string Version(std::uint32_t version) { return HexText(version, 8); }
std::string Checksum(std::uint16_t checksum) { return ToUtf8(ChecksumText(checksum)); }

json BlockDeviceJson(const std::optional<BlockDevice>& block) {
  if (!block) return nullptr;
  return {{"path", block->path}, {"mountPoints", block->mountPoints}};
}

json BridgeJson(const FoundBridge& bridge) {
  const DeviceRecord& device = bridge.record;
  json flash = nullptr;
  if (device.flashChip != nullptr) {
    flash = {{"row", device.flashChip - FlashDescriptorTable},
             {"id", FlashIdBytes(device.flashId)},
             {"pageSize", device.flashChip->pageSize}};
  }
  json letters = json::array();
  for (const std::string& letter : DriveLetters(device)) letters.push_back(letter);
  return {{"slot", device.slot},
          {"vendorId", HexText(device.vendorId, 4)},
          {"productId", HexText(device.productId, 4)},
          {"firmwareVersion", Version(device.firmwareVersion)},
          {"mode", device.chipMode},
          {"flashChip", flash},
          {"usbDevice", TextOrNull(TextOf(device.usbInstanceId))},
          {"diskPath", TextOrNull(TextOf(device.diskPath))},
          {"blockDevice", BlockDeviceJson(bridge.blockDevice)},
          {"winusbPath", TextOrNull(TextOf(device.winusbPath))},
          {"hub", device.hubNumber},
          {"port", device.portNumber},
          {"driveLetters", letters}};
}

// Paths and names come from outside: a byte that is no UTF-8 shows as U+FFFD
// instead of failing the output.
std::string Dump(const json& value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

}  // namespace

std::string BridgeListJson(const std::vector<FoundBridge>& bridges) {
  json list = json::array();
  for (const FoundBridge& bridge : bridges) list.push_back(BridgeJson(bridge));
  return Dump(json{{"bridges", list}});
}

std::string UpdateJson(const UpdateReport& report, int exitCode) {
  const auto version = [](const DeviceRecord& device) { return Version(device.firmwareVersion); };
  const json line = {
      {"result", ResultName(exitCode)},
      {"exitCode", exitCode},
      {"bridge", report.bridge ? BridgeJson(FindBlockDevice(*report.bridge)) : json(nullptr)},
      {"versionBefore", ValueOrNull(report.bridge, version)},
      {"versionAfter", ValueOrNull(report.versionAfter, Version)},
      {"codeChecksumBefore", ValueOrNull(report.checksumBefore, Checksum)},
      {"firmwareFile", report.firmwareFile.empty() ? json(nullptr) : json(report.firmwareFile)},
      {"firmwareChecksum", ValueOrNull(report.firmwareChecksum, Checksum)},
      {"message", report.message.empty() ? json(nullptr) : json(report.message)},
      {"simulated", report.simulated},
  };
  return Dump(line);
}

}  // namespace vx::cli
