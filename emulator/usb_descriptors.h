// The emulated bridge as a USB device: its identity and the descriptors it
// returns on its control endpoint. A high-speed composite device with one
// configuration and two interfaces:
//   0  mass storage, SCSI transparent command set, bulk-only transport,
//      bulk IN endpoint 0x81 and bulk OUT endpoint 0x02;
//   1  vendor class without endpoints: the vendor control requests on
//      endpoint 0 belong to it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "emulator/chip_info.h"

namespace vx::emu {

namespace usb {
inline constexpr std::uint8_t kBulkInEndpoint = 0x81;
inline constexpr std::uint8_t kBulkOutEndpoint = 0x02;
inline constexpr std::uint16_t kBulkMaxPacket = 512;
inline constexpr std::uint8_t kControlMaxPacket = 64;
inline constexpr std::uint8_t kConfigurationValue = 1;
inline constexpr std::uint8_t kMassStorageInterface = 0;
inline constexpr std::uint8_t kVendorInterface = 1;

inline constexpr std::uint8_t kDescriptorDevice = 1;
inline constexpr std::uint8_t kDescriptorConfiguration = 2;
inline constexpr std::uint8_t kDescriptorString = 3;
inline constexpr std::uint8_t kDescriptorDeviceQualifier = 6;
}  // namespace usb

struct UsbIdentity {
  std::uint16_t vendorId = kBridgeVendorId;
  std::uint16_t productId = kBridgeProductId;
  std::uint16_t deviceVersion = 0x0100;  // BCD
  std::string manufacturer = "VX Cable Works";
  std::string product = "USB-To-USB Cable Bridge";
  std::string serial = "VX0000000001";
};

struct UsbInterfaceClass {
  std::uint8_t number;
  std::uint8_t interfaceClass;
  std::uint8_t subclass;
  std::uint8_t protocol;
};

// The interfaces in number order, as the configuration descriptor lists them.
inline constexpr std::array<UsbInterfaceClass, 2> kBridgeInterfaces = {{
    {usb::kMassStorageInterface, 0x08, 0x06, 0x50},
    {usb::kVendorInterface, 0xFF, 0x00, 0x00},
}};

std::vector<std::uint8_t> DeviceDescriptor(const UsbIdentity& identity);
std::vector<std::uint8_t> DeviceQualifierDescriptor();
std::vector<std::uint8_t> ConfigurationDescriptor();
// Index 0 is the language list (US English); 1 manufacturer, 2 product,
// 3 serial number. Nothing for other indexes.
std::optional<std::vector<std::uint8_t>> StringDescriptor(const UsbIdentity& identity, std::uint8_t index);

}  // namespace vx::emu
