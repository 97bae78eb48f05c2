#include "platform/win32/win32_disks.h"

#include <windows.h>
#include <winioctl.h>

#include "platform/win32/win32_device_open.h"
#include "platform/win32/win32_read.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

constexpr DWORD kLayoutBufferBytes = 192;

}  // namespace

DeviceHandle Win32Disks::Open(std::u16string_view diskPath) {
  return OpenDevicePath(diskPath, kReadWrite, kShareReadWrite, 0);
}

bool Win32Disks::Seek(DeviceHandle disk, std::uint64_t offset, std::uint64_t& position) {
  if (disk == DeviceHandle::None) return false;
  LONG high = static_cast<LONG>(offset >> 32);
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(ToNative(disk), static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
  // INVALID_SET_FILE_POINTER is also the low half of a valid position; the
  // error code tells them apart.
  if (low == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return false;
  position = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  return true;
}

bool Win32Disks::Read(DeviceHandle disk, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  return ReadFromHandle(disk, buffer, length, bytesRead);
}

bool Win32Disks::GetDriveLayout(DeviceHandle disk) {
  if (disk == DeviceHandle::None) return false;
  alignas(8) unsigned char layout[kLayoutBufferBytes] = {};
  DWORD returned = 0;
  return ::DeviceIoControl(ToNative(disk), IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, layout, sizeof layout, &returned,
                           nullptr) != FALSE;
}

void Win32Disks::Close(DeviceHandle disk) { CloseDevice(disk); }

std::uint32_t Win32Disks::GetLogicalDrives() { return ::GetLogicalDrives(); }

}  // namespace vx::platform::win32_backend
