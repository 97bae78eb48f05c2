#include "platform/linux/usb_names.h"

#include <charconv>

namespace vx::platform::linux_backend {

namespace {

constexpr std::uint32_t kLargestUsbNumber = 255;

// A whole decimal number of digits only, at most `largest`.
std::optional<std::uint32_t> Number(std::string_view text, std::uint32_t largest) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > largest)
    return std::nullopt;
  return value;
}

// Numbers separated by `separator`, each at most `largest`.
std::optional<std::vector<std::uint32_t>> Numbers(std::string_view text, char separator, std::uint32_t largest) {
  std::vector<std::uint32_t> values;
  while (true) {
    const std::size_t cut = text.find(separator);
    const auto value = Number(text.substr(0, cut), largest);
    if (!value) return std::nullopt;
    values.push_back(*value);
    if (cut == std::string_view::npos) return values;
    text.remove_prefix(cut + 1);
  }
}

}  // namespace

std::optional<UsbAddress> ParseUsbDeviceName(std::string_view name) {
  if (name.starts_with("usb")) {
    const auto bus = Number(name.substr(3), kLargestUsbNumber);
    if (!bus || *bus == 0) return std::nullopt;
    return UsbAddress{*bus, {}};
  }
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const auto bus = Number(name.substr(0, dash), kLargestUsbNumber);
  const auto ports = Numbers(name.substr(dash + 1), '.', kLargestUsbNumber);
  if (!bus || *bus == 0 || !ports) return std::nullopt;
  for (const std::uint32_t port : *ports) {
    if (port == 0) return std::nullopt;
  }
  return UsbAddress{*bus, *ports};
}

std::string UsbDeviceName(const UsbAddress& address) {
  if (address.ports.empty()) return "usb" + std::to_string(address.bus);
  std::string name = std::to_string(address.bus) + "-";
  for (std::size_t i = 0; i < address.ports.size(); ++i) {
    if (i > 0) name += '.';
    name += std::to_string(address.ports[i]);
  }
  return name;
}

std::string ParentHubName(const UsbAddress& address) {
  if (address.ports.empty()) return {};
  UsbAddress parent = address;
  parent.ports.pop_back();
  return UsbDeviceName(parent);
}

std::optional<UsbInterfaceName> ParseUsbInterfaceName(std::string_view name) {
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto numbers = Numbers(name.substr(colon + 1), '.', kLargestUsbNumber);
  if (!numbers || numbers->size() != 2) return std::nullopt;
  std::string device(name.substr(0, colon));
  // The root hub's interfaces carry port path 0.
  const std::size_t dash = device.find('-');
  if (dash != std::string::npos && device.substr(dash + 1) == "0") device = "usb" + device.substr(0, dash);
  if (!ParseUsbDeviceName(device)) return std::nullopt;
  return UsbInterfaceName{device, (*numbers)[0], (*numbers)[1]};
}

std::optional<ScsiAddress> ParseScsiAddress(std::string_view name) {
  const auto numbers = Numbers(name, ':', UINT32_MAX);
  if (!numbers || numbers->size() != 4) return std::nullopt;
  return ScsiAddress{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]};
}

}  // namespace vx::platform::linux_backend
