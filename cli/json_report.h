// JSON for scripts: the bridges the list command finds, and one summary line
// of an update's outcome.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bridge/device_record.h"
#include "cli/bridge_description.h"

namespace vx::cli {

struct UpdateReport {
  std::optional<DeviceRecord> bridge;              // as the device check found it
  std::optional<std::uint16_t> checksumBefore;     // of the code the bridge held then
  std::optional<std::uint32_t> versionAfter;       // what the bridge reports after the update
  std::optional<std::uint16_t> firmwareChecksum;   // of the code in the firmware file loaded
  std::string firmwareFile;                        // empty: no file was named yet
  std::string message;                             // the last message shown; empty: none
  bool simulated = false;
};

// {"bridges":[...]}; each bridge's "blockDevice" is {"path":...,
// "mountPoints":[...]}, or null where there is none (always on Windows).
std::string BridgeListJson(const std::vector<FoundBridge>& bridges);

// One line: {"result":...,"exitCode":...,"bridge":...,"versionBefore":...,
// "versionAfter":...,...}; absent values are null.
std::string UpdateJson(const UpdateReport& report, int exitCode);

}  // namespace vx::cli
