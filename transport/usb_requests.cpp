#include "transport/usb_requests.h"

#include <cstring>
#include <string>

#include "base/diagnostics.h"
#include "bridge/bridge_lock.h"
#include "platform/platform.h"
#include "transport/request_trace.h"

namespace vx {

namespace {

constexpr std::uint8_t kVendorDeviceToHost = 0xC0;
constexpr std::uint8_t kRequestBridgeRead = 0xF1;
constexpr std::uint16_t kChipInfoValue = 0x7E1B;  // 1B 7E on the wire, little-endian
constexpr std::uint16_t kChipInfoIndex = 0x0001;
constexpr std::uint16_t kChipInfoLength = 16;
constexpr std::uint16_t kStatusLength = 2;
constexpr std::uint16_t kLargestReply = kChipInfoLength;

// Tells the diagnostic channel why a request did not go through.
void ReportUsbFailure(const platform::UsbSetupPacket& setup, const std::string& what) {
  ReportCause("USB %02X %02X %04X %04X %u: %s", setup.requestType, setup.request, setup.value, setup.index,
              static_cast<unsigned>(setup.length), what.c_str());
}

std::string WithError(const char* what, std::uint32_t error) {
  return what + (" (error " + std::to_string(error) + ")");
}

bool Transfer(std::u16string_view path, const platform::UsbSetupPacket& setup, std::uint8_t* buffer,
              std::uint32_t length, std::uint32_t& transferred) {
  if (path.empty() || (buffer == nullptr && length != 0)) return false;
  platform::WinUsbApi& winusb = platform::WinUsb();
  const platform::DeviceHandle device = winusb.Open(path);
  if (device == platform::DeviceHandle::None) {
    ReportUsbFailure(setup, WithError("the interface path did not open", winusb.LastError()));
    return false;
  }
  const platform::UsbInterfaceHandle usb = winusb.Initialize(device);
  if (usb == platform::UsbInterfaceHandle::None) {
    ReportUsbFailure(setup, WithError("the WinUSB interface did not initialise", winusb.LastError()));
    winusb.Close(device);
    return false;
  }
  const bool ok = winusb.ControlTransfer(usb, setup, buffer, length, transferred);
  if (!ok) ReportUsbFailure(setup, WithError("the control transfer failed", winusb.LastError()));
  winusb.Free(usb);
  winusb.Close(device);
  return ok;
}

// One read request under the bridge lock. The reply lands in a scratch
// buffer and reaches out only when the full length arrived.
bool ReadRequest(const DeviceRecord& device, const platform::UsbSetupPacket& setup, std::uint8_t* out) {
  if (IsEmpty(device.winusbPath) || out == nullptr) return false;
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  std::uint8_t reply[kLargestReply] = {};
  std::uint32_t transferred = 0;
  if (!UsbControlTransfer(device, setup, reply, setup.length, transferred)) return false;
  if (transferred != setup.length) {
    ReportUsbFailure(setup, "only " + std::to_string(transferred) + " bytes arrived");
    return false;
  }
  std::memcpy(out, reply, setup.length);
  return true;
}

}  // namespace

bool UsbControlTransfer(const DeviceRecord& device, const platform::UsbSetupPacket& setup, std::uint8_t* buffer,
                        std::uint32_t length, std::uint32_t& transferred) {
  transferred = 0;
  const bool ok = Transfer(TextOf(device.winusbPath), setup, buffer, length, transferred);
  // The trace shows what the operator cares about: whether the bridge
  // answered in full.
  TraceUsbRequest(setup, ok && transferred == setup.length);
  return ok;
}

bool ReadChipInfoUsb(const DeviceRecord& device, std::uint8_t* out16) {
  return ReadRequest(device, {kVendorDeviceToHost, kRequestBridgeRead, kChipInfoValue, kChipInfoIndex, kChipInfoLength},
                     out16);
}

bool ReadStatusUsb(const DeviceRecord& device, std::uint8_t* out2) {
  return ReadRequest(device, {kVendorDeviceToHost, kRequestBridgeRead, 0, 0, kStatusLength}, out2);
}

}  // namespace vx
