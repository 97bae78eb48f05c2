#include "platform/linux/libusb_errors.h"

#include <libusb.h>

namespace vx::platform::linux_backend {

std::uint32_t SystemErrorOf(int libusbError) {
  switch (libusbError) {
    case LIBUSB_ERROR_INVALID_PARAM:
      return kErrorInvalidParameter;
    case LIBUSB_ERROR_ACCESS:
      return kErrorAccessDenied;
    case LIBUSB_ERROR_NO_DEVICE:
      return kErrorDeviceNotConnected;
    case LIBUSB_ERROR_NOT_FOUND:
      return kErrorFileNotFound;
    case LIBUSB_ERROR_BUSY:
      return kErrorBusy;
    case LIBUSB_ERROR_TIMEOUT:
      return kErrorSemTimeout;
    case LIBUSB_ERROR_INTERRUPTED:
      return kErrorOperationAborted;
    case LIBUSB_ERROR_NO_MEM:
      return kErrorNotEnoughMemory;
    case LIBUSB_ERROR_NOT_SUPPORTED:
      return kErrorNotSupported;
    default:  // I/O errors, stalls, overflows and the rest
      return kErrorGenFailure;
  }
}

}  // namespace vx::platform::linux_backend
