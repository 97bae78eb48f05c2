// Opaque handles handed out by the platform layer. Each is a distinct type so
// that a file handle cannot be passed where a mutex is expected. The value 0
// is "no handle" for all of them.
#pragma once

#include <cstdint>

namespace vx::platform {

enum class FileHandle : std::uintptr_t { None = 0 };
enum class MutexHandle : std::uintptr_t { None = 0 };
enum class DeviceHandle : std::uintptr_t { None = 0 };        // an opened device path
enum class UsbInterfaceHandle : std::uintptr_t { None = 0 };  // WinUSB interface on a device

}  // namespace vx::platform
