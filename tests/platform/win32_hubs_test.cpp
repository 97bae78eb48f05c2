// The hub requests through the Windows backend, with a stand-in for the hub
// driver that reads and answers the records as the system declares them.
// Under Wine no hub driver answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>
#include <usbioctl.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_hubs.h"

namespace vx::platform::win32_backend {
namespace {

const DeviceHandle kHub = static_cast<DeviceHandle>(0x1234);
const std::u16string kDriverKey = u"{36fc9e60-c465-11cf-8056-444553540000}\\0007";

// One request as the driver saw it.
struct Request {
  DWORD code;
  DWORD bytes;  // the same record serves as input and output
  ULONG connectionIndex;
};

// A hub with three ports: a high-speed device on port 1 whose driver key is
// kDriverKey, nothing on port 2, and on port 3 a device whose key cannot be
// had. The driver answers a key request with as much of the key as fits and
// its full length, as the hub driver does.
DeviceControl HubDriver(std::vector<Request>& requests, ULONG keyLength) {
  return [&requests, keyLength](HANDLE, DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes,
                                DWORD* returned) -> BOOL {
    const ULONG index = code == IOCTL_USB_GET_NODE_INFORMATION ? 0 : *static_cast<ULONG*>(in);
    requests.push_back({code, in == out && inBytes == outBytes ? inBytes : 0, index});
    *returned = outBytes;
    if (code == IOCTL_USB_GET_NODE_INFORMATION && outBytes >= sizeof(USB_NODE_INFORMATION)) {
      auto* node = static_cast<USB_NODE_INFORMATION*>(out);
      node->NodeType = UsbHub;
      node->u.HubInformation.HubDescriptor.bNumberOfPorts = 3;
      return TRUE;
    }
    if (code == IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX && outBytes >= 35 && index >= 1 && index <= 3) {
      auto* connection = static_cast<USB_NODE_CONNECTION_INFORMATION_EX*>(out);
      connection->ConnectionStatus = index == 2 ? NoDeviceConnected : DeviceConnected;
      connection->Speed = UsbHighSpeed;
      return TRUE;
    }
    if (code == IOCTL_USB_GET_NODE_CONNECTION_DRIVERKEY_NAME && outBytes >= 10 && index == 1) {
      auto* name = static_cast<USB_NODE_CONNECTION_DRIVERKEY_NAME*>(out);
      name->ActualLength = keyLength;
      const std::size_t room = (outBytes - 8) / 2;
      std::memcpy(name->DriverKeyName, kDriverKey.c_str(), std::min(room, kDriverKey.size() + 1) * 2);
      return TRUE;
    }
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  };
}

TEST(Win32Hubs, AsksTheHubDriverWithItsOwnRecords) {
  std::vector<Request> requests;
  const auto keyBytes = static_cast<ULONG>(8 + (kDriverKey.size() + 1) * 2);
  Win32Hubs hubs(HubDriver(requests, keyBytes));

  HubNodeInformation node;
  ASSERT_TRUE(hubs.GetNodeInformation(kHub, node));
  EXPECT_EQ(node.nodeType, HubNodeType::UsbHub);
  EXPECT_EQ(node.numberOfPorts, 3);

  PortConnectionInformation ports[3];
  for (std::uint32_t port = 1; port <= 3; ++port) ASSERT_TRUE(hubs.GetNodeConnectionInformation(kHub, port, ports[port - 1]));
  EXPECT_EQ(ports[0].connectionStatus, 1u);
  EXPECT_EQ(ports[0].speed, 2);
  EXPECT_EQ(ports[1].connectionStatus, 0u);
  PortConnectionInformation missing;
  EXPECT_FALSE(hubs.GetNodeConnectionInformation(kHub, 4, missing));

  char16_t key[64] = {};
  std::uint32_t required = 0;
  ASSERT_TRUE(hubs.GetConnectionDriverKeyName(kHub, 1, nullptr, 0, required));
  EXPECT_EQ(required, kDriverKey.size() + 1);
  ASSERT_TRUE(hubs.GetConnectionDriverKeyName(kHub, 1, key, required, required));
  EXPECT_TRUE(std::u16string(key) == kDriverKey);
  EXPECT_FALSE(hubs.GetConnectionDriverKeyName(kHub, 3, key, 64, required));

  const std::vector<Request> expected = {
      {0x220408, 76, 0},
      {0x220448, 35, 1},
      {0x220448, 35, 2},
      {0x220448, 35, 3},
      {0x220448, 35, 4},
      // the length first, then the whole key: twice for each call
      {0x220420, 10, 1},
      {0x220420, keyBytes, 1},
      {0x220420, 10, 1},
      {0x220420, keyBytes, 1},
      {0x220420, 10, 3},
  };
  ASSERT_EQ(requests.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(requests[i].code, expected[i].code) << "request " << i;
    EXPECT_EQ(requests[i].bytes, expected[i].bytes) << "request " << i;
    EXPECT_EQ(requests[i].connectionIndex, expected[i].connectionIndex) << "request " << i;
  }
}

// A key length that leaves no room for a name is no key.
TEST(Win32Hubs, AnEmptyDriverKeyIsNone) {
  std::vector<Request> requests;
  Win32Hubs hubs(HubDriver(requests, 10));
  std::uint32_t required = 0;
  EXPECT_FALSE(hubs.GetConnectionDriverKeyName(kHub, 1, nullptr, 0, required));
  EXPECT_EQ(requests.size(), 1u);
  HubNodeInformation node;
  EXPECT_FALSE(Win32Hubs(HubDriver(requests, 10)).GetNodeInformation(DeviceHandle::None, node));
}

}  // namespace
}  // namespace vx::platform::win32_backend
