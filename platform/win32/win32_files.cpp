#include "platform/win32/win32_files.h"

#include "platform/win32/win32_read.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

FileHandle Win32Files::OpenForRead(std::u16string_view path) {
  const auto wide = WideName(path);
  if (!wide) return FileHandle::None;
  const HANDLE file = ::CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileHandle::None;
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    ::CloseHandle(file);
    return FileHandle::None;
  }
  return FromNative<FileHandle>(file);
}

bool Win32Files::GetSize(FileHandle file, std::uint64_t& size) {
  if (file == FileHandle::None) return false;
  DWORD high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::GetFileSize(ToNative(file), &high);
  // INVALID_FILE_SIZE is also the low half of a valid size; the error code
  // tells them apart.
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return false;
  size = (static_cast<std::uint64_t>(high) << 32) | low;
  return true;
}

bool Win32Files::Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  return ReadFromHandle(file, buffer, length, bytesRead);
}

void Win32Files::Close(FileHandle file) {
  if (file != FileHandle::None) ::CloseHandle(ToNative(file));
}

}  // namespace vx::platform::win32_backend
