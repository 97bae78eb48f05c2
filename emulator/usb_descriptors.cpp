#include "emulator/usb_descriptors.h"

#include <algorithm>

namespace vx::emu {

namespace {

constexpr std::uint16_t kUsb20 = 0x0200;
constexpr std::uint16_t kLanguageUsEnglish = 0x0409;
constexpr std::uint8_t kInterfaceDescriptor = 4;
constexpr std::uint8_t kEndpointDescriptor = 5;
constexpr std::uint8_t kBulk = 2;
constexpr std::uint8_t kBusPowered = 0x80;
constexpr std::uint8_t kMaxPower500mA = 250;  // in units of 2 mA

std::uint8_t Low(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t High(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }

void AppendInterface(std::vector<std::uint8_t>& out, const UsbInterfaceClass& interface, std::uint8_t endpoints) {
  out.insert(out.end(), {9, kInterfaceDescriptor, interface.number, 0, endpoints, interface.interfaceClass,
                         interface.subclass, interface.protocol, 0});
}

void AppendBulkEndpoint(std::vector<std::uint8_t>& out, std::uint8_t address) {
  out.insert(out.end(), {7, kEndpointDescriptor, address, kBulk, Low(usb::kBulkMaxPacket), High(usb::kBulkMaxPacket), 0});
}

}  // namespace

std::vector<std::uint8_t> DeviceDescriptor(const UsbIdentity& identity) {
  return {18,
          usb::kDescriptorDevice,
          Low(kUsb20),
          High(kUsb20),
          0,  // class, subclass, protocol: given per interface
          0,
          0,
          usb::kControlMaxPacket,
          Low(identity.vendorId),
          High(identity.vendorId),
          Low(identity.productId),
          High(identity.productId),
          Low(identity.deviceVersion),
          High(identity.deviceVersion),
          1,  // manufacturer, product and serial strings
          2,
          3,
          1};  // configurations
}

std::vector<std::uint8_t> DeviceQualifierDescriptor() {
  return {10, usb::kDescriptorDeviceQualifier, Low(kUsb20), High(kUsb20), 0, 0, 0, usb::kControlMaxPacket, 1, 0};
}

std::vector<std::uint8_t> ConfigurationDescriptor() {
  std::vector<std::uint8_t> out = {9, usb::kDescriptorConfiguration, 0, 0, std::uint8_t(kBridgeInterfaces.size()),
                                   usb::kConfigurationValue, 0, kBusPowered, kMaxPower500mA};
  AppendInterface(out, kBridgeInterfaces[0], 2);
  AppendBulkEndpoint(out, usb::kBulkInEndpoint);
  AppendBulkEndpoint(out, usb::kBulkOutEndpoint);
  AppendInterface(out, kBridgeInterfaces[1], 0);
  out[2] = Low(static_cast<std::uint16_t>(out.size()));
  out[3] = High(static_cast<std::uint16_t>(out.size()));
  return out;
}

std::optional<std::vector<std::uint8_t>> StringDescriptor(const UsbIdentity& identity, std::uint8_t index) {
  if (index == 0) return std::vector<std::uint8_t>{4, usb::kDescriptorString, Low(kLanguageUsEnglish), High(kLanguageUsEnglish)};
  const std::string* text = index == 1   ? &identity.manufacturer
                            : index == 2 ? &identity.product
                            : index == 3 ? &identity.serial
                                         : nullptr;
  if (text == nullptr) return std::nullopt;
  // ASCII text as UTF-16LE; a descriptor holds at most 126 characters.
  const std::size_t length = std::min<std::size_t>(text->size(), 126);
  std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(2 + 2 * length), usb::kDescriptorString};
  for (std::size_t i = 0; i < length; ++i) out.insert(out.end(), {static_cast<std::uint8_t>((*text)[i]), 0});
  return out;
}

}  // namespace vx::emu
