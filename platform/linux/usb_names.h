// The names sysfs gives USB devices, interfaces and SCSI devices, and what
// they tell: a USB device's name is its address (bus and the port numbers
// from the root hub down), which stays the same while it is plugged into the
// same port, unlike its device number.
//
//   usb2        root hub of bus 2
//   2-1.4       bus 2, port 1 of the root hub, port 4 of the hub there
//   2-1.4:1.0   interface 0 of configuration 1 of that device
//   2-0:1.0     interface of the root hub of bus 2
//   3:0:0:1     SCSI host 3, channel 0, target 0, LUN 1
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::platform::linux_backend {

struct UsbAddress {
  std::uint32_t bus = 0;
  std::vector<std::uint32_t> ports;  // empty for a root hub

  // Bus, then port path: a hub comes before what is plugged into it, and
  // the devices on one hub follow their port numbers.
  friend auto operator<=>(const UsbAddress&, const UsbAddress&) = default;
  friend bool operator==(const UsbAddress&, const UsbAddress&) = default;
};

// A root hub's or a device's name; nothing for any other name. Bus and port
// numbers run from 1 to 255.
std::optional<UsbAddress> ParseUsbDeviceName(std::string_view name);
std::string UsbDeviceName(const UsbAddress& address);
// The name of the hub a device is plugged into ("usb2" for a device on the
// root hub); empty for a root hub.
std::string ParentHubName(const UsbAddress& address);

struct UsbInterfaceName {
  std::string device;  // the name of the device ("usb2" for "2-0:1.0")
  std::uint32_t configuration = 0;
  std::uint32_t number = 0;
};
std::optional<UsbInterfaceName> ParseUsbInterfaceName(std::string_view name);

using ScsiAddress = std::array<std::uint32_t, 4>;  // host, channel, target, LUN
std::optional<ScsiAddress> ParseScsiAddress(std::string_view name);

}  // namespace vx::platform::linux_backend
