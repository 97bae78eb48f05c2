#include "cli/update_summary.h"

#include "app/device_text.h"
#include "base/text.h"
#include "cli/bridge_description.h"
#include "image/image_store.h"

namespace vx::cli {

namespace {

std::string VersionLine(const CVX94C6FWUpdaterDlg& dialog) {
  const std::optional<DeviceRecord>& device = dialog.CheckedDevice();
  std::string line = "  Firmware version: " + (device ? HexText(device->firmwareVersion, 8) : "(unknown)");
  if (dialog.m_cmpLen == 0) return line + ", not compared (CMPLEN 0)\n";
  return line + ", compared as \"" + ToUtf8(dialog.m_devVersion) + "\" (CMPLEN " + std::to_string(dialog.m_cmpLen) +
         ") with CMPSTR \"" + ToUtf8(dialog.m_cmpStr) + "\"\n";
}

std::string ChecksumLine(const CVX94C6FWUpdaterDlg& dialog) {
  std::string line = "  Code checksum:    " + ToUtf8(ChecksumText(dialog.m_devChecksum)) + " on the bridge, ";
  if (dialog.m_cfgChecksum == 0) return line + "not compared (CHECKSUM 0)\n";
  return line + "CHECKSUM " + ToUtf8(ChecksumText(dialog.m_cfgChecksum)) + " expected\n";
}

std::string FirmwareLines(const CVX94C6FWUpdaterDlg& dialog) {
  const ImageStore& images = Images();
  std::string contents = images.codeLength == 0 ? "no code"
                                                : "code " + std::to_string(images.codeLength) +
                                                      " bytes with checksum " + ToUtf8(ChecksumText(images.codeChecksum));
  if (images.diskLength != 0) contents += ", disk image " + std::to_string(images.diskLength) + " bytes";
  return "  Firmware file:    " + ToNativePath(dialog.m_filePath) + "\n                    " + contents + "\n";
}

}  // namespace

std::string UpdateSummary(const CVX94C6FWUpdaterDlg& dialog, bool simulated) {
  std::string text = "About to update:\n";
  if (const std::optional<DeviceRecord>& device = dialog.CheckedDevice()) {
    text += "  Bridge:           slot " + std::to_string(device->slot) + ", USB device " +
            TextOrNone(TextOf(device->usbInstanceId)) + "\n";
    text += "  Disk path:        " + TextOrNone(TextOf(device->diskPath)) + "\n";
    text += "  WinUSB path:      " + TextOrNone(TextOf(device->winusbPath)) + "\n";
    text += "  Flash chip:       " + FlashChipText(*device) + "\n";
  }
  text += VersionLine(dialog) + ChecksumLine(dialog) + FirmwareLines(dialog);
  if (simulated) text += "  Emulated bridge:  yes (--simulate); no real bridge is written\n";
  return text;
}

std::string GateDetails(const CVX94C6FWUpdaterDlg& dialog) { return VersionLine(dialog) + ChecksumLine(dialog); }

}  // namespace vx::cli
