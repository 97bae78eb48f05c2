#include "platform/win32/win32_hubs.h"

#include <windows.h>
#include <winioctl.h>
#include <usbioctl.h>

#include <cstddef>
#include <vector>

#include "platform/query_text.h"
#include "platform/win32/win32_device_open.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

// The records as the hub driver exchanges them: packed, with these sizes.
static_assert(sizeof(USB_NODE_INFORMATION) == 76);
static_assert(sizeof(USB_NODE_CONNECTION_INFORMATION_EX) == 35);
static_assert(sizeof(USB_NODE_CONNECTION_DRIVERKEY_NAME) == 10);
static_assert(IOCTL_USB_GET_NODE_INFORMATION == 0x220408 && IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX == 0x220448 &&
              IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME == 0x220420);

constexpr std::size_t kKeyNameOffset = offsetof(USB_NODE_CONNECTION_DRIVERKEY_NAME, DriverKeyName);

}  // namespace

bool Win32Hubs::Ask(DeviceHandle hub, DWORD code, void* record, DWORD size) {
  DWORD returned = 0;
  return hub != DeviceHandle::None && control_(ToNative(hub), code, record, size, record, size, &returned) != FALSE;
}

DeviceHandle Win32Hubs::Open(std::u16string_view hubPath) {
  return OpenDevicePath(hubPath, GENERIC_WRITE, FILE_SHARE_WRITE, 0);
}

bool Win32Hubs::GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) {
  USB_NODE_INFORMATION node{};
  if (!Ask(hub, IOCTL_USB_GET_NODE_INFORMATION, &node, sizeof node)) return false;
  const bool parent = node.NodeType == UsbMIParent;
  information.nodeType = parent ? HubNodeType::UsbMIParent : HubNodeType::UsbHub;
  information.numberOfPorts = parent ? 0 : node.u.HubInformation.HubDescriptor.bNumberOfPorts;
  information.numberOfInterfaces = parent ? node.u.MiParentInformation.NumberOfInterfaces : 0;
  return true;
}

bool Win32Hubs::GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                             PortConnectionInformation& information) {
  USB_NODE_CONNECTION_INFORMATION_EX connection{};
  connection.ConnectionIndex = connectionIndex;
  if (!Ask(hub, IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX, &connection, sizeof connection)) return false;
  information.connectionStatus = static_cast<std::uint32_t>(connection.ConnectionStatus);
  information.speed = connection.Speed;
  return true;
}

bool Win32Hubs::GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                           std::uint32_t bufferChars, std::uint32_t& requiredChars) {
  USB_NODE_CONNECTION_DRIVERKEY_NAME probe{};
  probe.ConnectionIndex = connectionIndex;
  // The answer's length covers the record's head and the terminated name.
  if (!Ask(hub, IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME, &probe, sizeof probe) ||
      probe.ActualLength <= sizeof probe)
    return false;
  const DWORD size = probe.ActualLength;
  std::vector<std::uint8_t> storage(size);
  auto* record = reinterpret_cast<USB_NODE_CONNECTION_DRIVERKEY_NAME*>(storage.data());
  record->ConnectionIndex = connectionIndex;
  if (!Ask(hub, IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME, record, size)) return false;
  const auto* name = reinterpret_cast<const WCHAR*>(storage.data() + kKeyNameOffset);
  return CopyDriverKeyName(TextWithin(name, (size - kKeyNameOffset) / sizeof(WCHAR)), buffer, bufferChars,
                           requiredChars);
}

void Win32Hubs::Close(DeviceHandle hub) { CloseDevice(hub); }

}  // namespace vx::platform::win32_backend
