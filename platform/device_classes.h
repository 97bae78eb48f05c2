// Device interface classes: the GUIDs by which the device tree groups the
// interfaces that devices expose.
#pragma once

#include <cstdint>

namespace vx::platform {

struct Guid {
  std::uint32_t data1;
  std::uint16_t data2;
  std::uint16_t data3;
  std::uint8_t data4[8];

  friend bool operator==(const Guid&, const Guid&) = default;
};

// Every present USB device: the candidate list of discovery.
inline constexpr Guid GUID_DEVINTERFACE_USB_DEVICE{
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
// Disks: the bridge's mass-storage side, reached by SCSI pass-through.
inline constexpr Guid GUID_DEVINTERFACE_DISK{
    0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
// USB hubs: the hub list that gives hub and port numbers.
inline constexpr Guid GUID_DEVINTERFACE_USB_HUB{
    0xF18A0E88, 0xC30C, 0x11D0, {0x88, 0x15, 0x00, 0xA0, 0xC9, 0x06, 0xBE, 0xD8}};
// The bridge driver's own class: the bridge's WinUSB side, reached by
// control transfers.
inline constexpr Guid BridgeInterfaceGuid{
    0x4F2A9C61, 0x3B7D, 0x4E15, {0xA8, 0xC2, 0x59, 0xD0, 0x7E, 0x31, 0xB6, 0xF4}};

}  // namespace vx::platform
