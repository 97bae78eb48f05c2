// File reading, shaped after CreateFileW / GetFileSize / ReadFile /
// CloseHandle as the firmware loaders use them.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

namespace vx::platform {

// What tells one state of a file from another: whenever the file's content
// may have changed, so has its stamp.
struct FileStamp {
  std::uint64_t words[5] = {};
  bool operator==(const FileStamp&) const = default;
};

class FileApi {
 public:
  virtual ~FileApi() = default;

  // Opens an existing file for reading, shared for reading, random access.
  // FileHandle::None when it cannot be opened.
  virtual FileHandle OpenForRead(std::u16string_view path) = 0;
  // The file's size in bytes (64-bit, so that 4 GiB and more can be seen).
  virtual bool GetSize(FileHandle file, std::uint64_t& size) = 0;
  // Reads up to length bytes from the current position; bytesRead tells how
  // many arrived. False when the read itself failed.
  virtual bool Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) = 0;
  virtual void Close(FileHandle file) = 0;
  // The stamp of an open file; false when the backend cannot give one, and
  // a reader must then take the content as new every time.
  virtual bool GetStamp(FileHandle file, FileStamp& stamp) {
    static_cast<void>(file);
    static_cast<void>(stamp);
    return false;
  }
};

}  // namespace vx::platform
