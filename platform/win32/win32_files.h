// Files on Windows: CreateFileW, GetFileType, GetFileSize, ReadFile and
// CloseHandle. Only files on a disk open (consoles, pipes and other devices
// are refused, as a firmware or settings file is always a plain file, and a
// read from a console would wait for typing).
#pragma once

#include "platform/file_api.h"

namespace vx::platform::win32_backend {

class Win32Files final : public FileApi {
 public:
  FileHandle OpenForRead(std::u16string_view path) override;
  bool GetSize(FileHandle file, std::uint64_t& size) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) override;
  void Close(FileHandle file) override;
};

}  // namespace vx::platform::win32_backend
