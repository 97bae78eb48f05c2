#include "cli/bridge_description.h"

#include <cstdio>

#include "base/text.h"
#include "cli/machine_search.h"
#include "flash/flash_table.h"

namespace vx::cli {

std::string HexText(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string FlashIdBytes(std::uint32_t flashId) {
  std::string text;
  const int count = (flashId >> 24) != 0 ? 4 : 3;
  for (int i = 0; i < count; ++i) text += HexText((flashId >> (8 * i)) & 0xFF, 2);
  return text;
}

std::string FlashChipText(const DeviceRecord& device) {
  if (device.flashChip == nullptr) return "not identified";
  const auto row = device.flashChip - FlashDescriptorTable;
  return "row " + std::to_string(row) + ", ID " + FlashIdBytes(device.flashId) + ", page " +
         std::to_string(device.flashChip->pageSize) + " bytes";
}

std::string TextOrNone(std::u16string_view text) { return text.empty() ? "(none)" : ToUtf8(text); }

std::vector<std::string> DriveLetters(const DeviceRecord& device) {
  std::vector<std::string> letters;
  const std::int32_t count = device.driveLetterCount < 0 ? 0 : device.driveLetterCount;
  for (std::int32_t i = 0; i < count && i < static_cast<std::int32_t>(kMaxDriveLetters); ++i) {
    letters.push_back(ToUtf8(std::u16string_view(&device.driveLetters[i], 1)));
  }
  return letters;
}

namespace {

std::string ModeText(std::int32_t chipMode) {
  switch (chipMode) {
    case kChipModeSpiFlash:
      return "3 (SPI flash)";
    case kChipModeByte0:
      return "4 (mode byte 0)";
    case kChipModeByte2:
      return "5 (mode byte 2)";
    case kChipModeRejected:
      return "7 (rejected)";
    default:
      return std::to_string(chipMode) + " (not set)";
  }
}

std::string BlockDeviceText(const BlockDevice& block) {
  if (block.mountPoints.empty()) return block.path + ", not mounted";
  std::string text = block.path + ", mounted on ";
  for (std::size_t i = 0; i < block.mountPoints.size(); ++i) text += (i == 0 ? "" : ", ") + block.mountPoints[i];
  return text;
}

std::string DriveText(const DeviceRecord& device) {
  std::string text;
  for (const std::string& letter : DriveLetters(device)) text += (text.empty() ? "" : " ") + letter + ":";
  return text.empty() ? "(none)" : text;
}

}  // namespace

FoundBridge FindBlockDevice(const DeviceRecord& device) { return {device, BlockDeviceOf(device)}; }

std::string DescribeBridge(const FoundBridge& bridge) {
  const DeviceRecord& device = bridge.record;
  std::string text = "Bridge in slot " + std::to_string(device.slot) + "\n";
  text += "  Chip:             vendor " + HexText(device.vendorId, 4) + ", product " + HexText(device.productId, 4) +
          ", info words " + HexText(device.infoWord8, 4) + " " + HexText(device.infoWord12, 4) + "\n";
  text += "  Firmware version: " + HexText(device.firmwareVersion, 8) + "\n";
  text += "  Mode:             " + ModeText(device.chipMode) + "\n";
  text += "  Flash chip:       " + FlashChipText(device) + "\n";
  text += "  USB device:       " + TextOrNone(TextOf(device.usbInstanceId)) + "\n";
  text += "  Disk path:        " + TextOrNone(TextOf(device.diskPath)) + "\n";
  if (bridge.blockDevice) text += "  Block device:     " + BlockDeviceText(*bridge.blockDevice) + "\n";
  text += "  WinUSB path:      " + TextOrNone(TextOf(device.winusbPath)) + "\n";
  text += "  Hub / port:       " + std::to_string(device.hubNumber) + " / " + std::to_string(device.portNumber) + "\n";
  text += "  Drive letters:    " + DriveText(device) + "\n";
  return text;
}

}  // namespace vx::cli
