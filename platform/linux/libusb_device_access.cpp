#include "platform/linux/libusb_device_access.h"

#include <libusb.h>

#include <algorithm>

namespace vx::platform::linux_backend {

namespace {

// The deepest port path USB allows (a root port and six hub tiers), plus one.
constexpr int kMaxPortDepth = 8;

bool IsAt(libusb_device* device, const UsbAddress& address) {
  if (libusb_get_bus_number(device) != address.bus) return false;
  std::uint8_t ports[kMaxPortDepth] = {};
  const int depth = libusb_get_port_numbers(device, ports, kMaxPortDepth);
  return depth >= 0 && static_cast<std::size_t>(depth) == address.ports.size() &&
         std::equal(address.ports.begin(), address.ports.end(), ports);
}

libusb_device_handle* HandleOf(UsbDeviceToken device) { return reinterpret_cast<libusb_device_handle*>(device); }

}  // namespace

int LibUsbDeviceAccess::Context(libusb_context*& context) {
  std::lock_guard guard(lock_);
  if (context_ == nullptr) {
    const int result = libusb_init(&context_);
    if (result != LIBUSB_SUCCESS) {
      context_ = nullptr;
      return result;
    }
  }
  context = context_;
  return LIBUSB_SUCCESS;
}

int LibUsbDeviceAccess::Open(const UsbAddress& address, UsbId& ids, UsbDeviceToken& device) {
  libusb_context* context = nullptr;
  if (const int result = Context(context); result != LIBUSB_SUCCESS) return result;
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context, &list);
  if (count < 0) return static_cast<int>(count);
  int result = LIBUSB_ERROR_NOT_FOUND;
  for (ssize_t i = 0; i < count; ++i) {
    if (!IsAt(list[i], address)) continue;
    libusb_device_descriptor descriptor{};
    result = libusb_get_device_descriptor(list[i], &descriptor);
    libusb_device_handle* handle = nullptr;
    if (result == LIBUSB_SUCCESS) result = libusb_open(list[i], &handle);
    if (result == LIBUSB_SUCCESS) {
      ids = {descriptor.idVendor, descriptor.idProduct};
      device = reinterpret_cast<UsbDeviceToken>(handle);
    }
    break;
  }
  libusb_free_device_list(list, 1);
  return result;
}

int LibUsbDeviceAccess::ControlTransfer(UsbDeviceToken device, const UsbSetupPacket& setup, std::uint8_t* data,
                                        std::uint32_t timeoutMs) {
  return libusb_control_transfer(HandleOf(device), setup.requestType, setup.request, setup.value, setup.index, data,
                                 setup.length, timeoutMs);
}

void LibUsbDeviceAccess::Close(UsbDeviceToken device) { libusb_close(HandleOf(device)); }

}  // namespace vx::platform::linux_backend
