// USB hub queries, shaped after CreateFileW on a hub's interface path and the
// hub I/O controls IOCTL_USB_GET_NODE_INFORMATION,
// IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX and
// IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME. The records carry only the
// fields discovery reads.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

namespace vx::platform {

enum class HubNodeType : std::uint32_t {
  UsbHub = 0,
  UsbMIParent = 1,  // a multi-interface (composite) parent
};

// From USB_NODE_INFORMATION.
struct HubNodeInformation {
  HubNodeType nodeType = HubNodeType::UsbHub;
  std::uint8_t numberOfPorts = 0;       // hub descriptor's bNumberOfPorts (UsbHub)
  std::uint32_t numberOfInterfaces = 0;  // UsbMIParent
};

// USB_CONNECTION_STATUS values used here.
inline constexpr std::uint32_t kDeviceConnected = 1;

// From USB_NODE_CONNECTION_INFORMATION_EX for one port.
struct PortConnectionInformation {
  std::uint32_t connectionStatus = 0;  // kDeviceConnected when a device is plugged in
  std::uint8_t speed = 0;              // speed code as the system reports it
};

class HubApi {
 public:
  virtual ~HubApi() = default;
  // Opens a hub interface path (GENERIC_WRITE, FILE_SHARE_WRITE,
  // OPEN_EXISTING); None when it cannot be opened.
  virtual DeviceHandle Open(std::u16string_view hubPath) = 0;
  virtual bool GetNodeInformation(DeviceHandle hub, HubNodeInformation& information) = 0;
  // Port numbers (connection indexes) are 1-based.
  virtual bool GetNodeConnectionInformation(DeviceHandle hub, std::uint32_t connectionIndex,
                                            PortConnectionInformation& information) = 0;
  // The driver key name of what is plugged into the port, into buffer of
  // bufferChars characters (terminator included); requiredChars receives the
  // characters the name needs with its terminator. A call with a zero-sized
  // buffer only learns requiredChars and succeeds when the port has a name.
  virtual bool GetConnectionDriverKeyName(DeviceHandle hub, std::uint32_t connectionIndex, char16_t* buffer,
                                          std::uint32_t bufferChars, std::uint32_t& requiredChars) = 0;
  virtual void Close(DeviceHandle hub) = 0;
};

}  // namespace vx::platform
