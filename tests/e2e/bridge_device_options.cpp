#include "tests/e2e/bridge_device_options.h"

#include <charconv>
#include <string_view>

namespace vx::e2e {

namespace {

bool ParseNumber(std::string_view text, int base, std::uint64_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

// "N" for the bridge's N-th vendor command, "spiXX:K" for the K-th SPI
// command with opcode XX (hexadecimal).
bool ParseWhen(std::string_view text, emu::UsbFaultWhen& when) {
  std::uint64_t number = 0;
  if (!text.starts_with("spi")) {
    when = emu::UsbFaultWhen::Command(0);
    return ParseNumber(text, 10, when.number) && when.number > 0;
  }
  const std::size_t colon = text.find(':');
  std::uint64_t opcode = 0;
  if (colon == std::string_view::npos || !ParseNumber(text.substr(3, colon - 3), 16, opcode) || opcode > 0xFF ||
      !ParseNumber(text.substr(colon + 1), 10, number) || number == 0 || number > UINT32_MAX) {
    return false;
  }
  when = emu::UsbFaultWhen::SpiCommand(static_cast<std::uint8_t>(opcode), static_cast<std::uint32_t>(number));
  return true;
}

bool FaultAction(std::string_view option, emu::UsbFaultAction& action) {
  if (option == "--fail") action = emu::UsbFaultAction::Fail;
  else if (option == "--stall") action = emu::UsbFaultAction::Stall;
  else if (option == "--hang") action = emu::UsbFaultAction::Hang;
  else if (option == "--vanish") action = emu::UsbFaultAction::Vanish;
  else return false;
  return true;
}

}  // namespace

bool ParseDeviceOptions(int argc, char** argv, DeviceOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (option == "--help") {
      options.help = true;
      return true;
    }
    if (option == "--unprotected") {
      options.protect = false;
      continue;
    }
    if (i + 1 >= argc) {
      error = std::string(option) + " needs a value, or is unknown";
      return false;
    }
    const std::string value = argv[++i];
    emu::UsbFaultAction action;
    std::uint64_t number = 0;
    if (option == "--socket") {
      options.socketPath = value;
    } else if (option == "--part") {
      options.partName = value;
    } else if (option == "--image") {
      options.imagePath = value;
    } else if (option == "--save") {
      options.savePath = value;
    } else if (option == "--trace") {
      options.tracePath = value;
    } else if (option == "--serial") {
      options.serial = value;
    } else if (option == "--product-id") {
      if (!ParseNumber(value, 16, number) || number > 0xFFFF) {
        error = "--product-id takes four hexadecimal digits, not '" + value + "'";
        return false;
      }
      options.productId = static_cast<std::uint16_t>(number);
    } else if (FaultAction(option, action)) {
      DeviceFault fault{{}, action};
      if (!ParseWhen(value, fault.when)) {
        error = std::string(option) + " takes N (the N-th vendor command) or spiXX:K (the K-th SPI command XX), not '" +
                value + "'";
        return false;
      }
      options.faults.push_back(fault);
    } else {
      error = "unknown option " + std::string(option);
      return false;
    }
  }
  if (options.socketPath.empty()) {
    error = "--socket is missing";
    return false;
  }
  return true;
}

const char* DeviceHelpText() {
  return R"(Usage: vx-usbredir-bridge --socket PATH [options]

Presents one emulated VX94C6 bridge as a USB device over the usbredir
protocol. It listens on the Unix socket PATH, serves the one virtual machine
that connects (QEMU: -chardev socket,id=b,path=PATH -device
usb-redir,chardev=b), and ends when that connection closes.

  --part NAME        the emulated flash part (default "EF 30 13")
  --image FILE       flash content at the start; the rest is erased
  --unprotected      start with the block-protect bits clear (default: all set)
  --save FILE        write the flash content to FILE at the end
  --trace FILE       one line per vendor command that reached the bridge
  --serial TEXT      the USB serial number (default VX0000000001)
  --product-id HEX   the USB product ID (default 94C6)

Faults, each once, for a vendor command chosen as WHEN = N (the bridge's
N-th vendor command) or spiXX:K (the K-th SPI command with opcode XX):
  --fail WHEN        answered with check condition, not carried out
  --stall WHEN       carried out, then bulk IN stalls and the status fails
  --hang WHEN        carried out, then nothing answers until a device reset
  --vanish WHEN      the bridge is unplugged instead

At the end it prints the flash's status register and the number of vendor
commands on standard error.
)";
}

}  // namespace vx::e2e
