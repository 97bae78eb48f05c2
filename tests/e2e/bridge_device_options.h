// The command line of vx-usbredir-bridge.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/usb_faults.h"

namespace vx::e2e {

struct DeviceFault {
  emu::UsbFaultWhen when;
  emu::UsbFaultAction action;
};

struct DeviceOptions {
  std::string socketPath;
  std::string partName = "EF 30 13";
  std::string imagePath;  // flash content at the start (the rest erased)
  std::string savePath;   // flash content at the end
  std::string tracePath;  // one line per vendor command
  std::string serial = "VX0000000001";
  std::uint16_t productId = 0x94C6;
  bool protect = true;  // the flash's block-protect bits all set, as shipped
  std::vector<DeviceFault> faults;
  bool help = false;
};

// False with a message in error when the command line cannot be used.
bool ParseDeviceOptions(int argc, char** argv, DeviceOptions& options, std::string& error);
const char* DeviceHelpText();

}  // namespace vx::e2e
