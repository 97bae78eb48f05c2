// libusb's error codes as the system's error codes that the control channel
// reports through LastError, chosen as WinUSB reports the same conditions.
#pragma once

#include <cstdint>

namespace vx::platform::linux_backend {

inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorGenFailure = 31;  // also a stalled request
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorSemTimeout = 121;
inline constexpr std::uint32_t kErrorBusy = 170;
inline constexpr std::uint32_t kErrorOperationAborted = 995;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

// A negative LIBUSB_ERROR_* value; anything unknown is a general failure.
std::uint32_t SystemErrorOf(int libusbError);

}  // namespace vx::platform::linux_backend
