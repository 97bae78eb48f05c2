// Real files on Linux. Only regular files open (directories, devices and
// pipes are refused, as a firmware or settings file is always a plain file);
// a read returns fewer bytes than asked only at the end of the file.
#pragma once

#include "platform/file_api.h"

namespace vx::platform::linux_backend {

class LinuxFiles : public FileApi {
 public:
  FileHandle OpenForRead(std::u16string_view path) override;
  bool GetSize(FileHandle file, std::uint64_t& size) override;
  bool Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) override;
  void Close(FileHandle file) override;
  // Device, inode, size and the times of the last change.
  bool GetStamp(FileHandle file, FileStamp& stamp) override;
};

}  // namespace vx::platform::linux_backend
