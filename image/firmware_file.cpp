#include "image/firmware_file.h"

#include <utility>

#include "image/details_text.h"
#include "image/image_buffer.h"
#include "platform/file_api.h"
#include "platform/platform.h"

namespace vx {

namespace {

// Files of this size or more are refused.
constexpr std::uint64_t kFileSizeLimit = std::uint64_t{1} << 32;

// Closes the file on every way out of ReadFirmwareFile.
class OpenFile {
 public:
  explicit OpenFile(platform::FileHandle handle) : handle_(handle) {}
  ~OpenFile() {
    if (handle_ != platform::FileHandle::None) platform::Files().Close(handle_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  platform::FileHandle Handle() const { return handle_; }

 private:
  platform::FileHandle handle_;
};

FileBuffer Fail(std::u16string* details, std::u16string_view line) {
  if (details != nullptr) AppendDetails(*details, line);
  return {};
}

// Fills buffer with exactly length bytes from the file, in as many requests
// as the platform needs; false when a request fails or the file ends early.
bool ReadExactly(platform::FileHandle file, std::uint8_t* buffer, std::uint32_t length) {
  std::uint32_t total = 0;
  while (total < length) {
    std::uint32_t got = 0;
    if (!platform::Files().Read(file, buffer + total, length - total, got)) return false;
    if (got == 0 || got > length - total) return false;
    total += got;
  }
  return true;
}

}  // namespace

bool FirmwareFileSize(std::u16string_view path, std::uint64_t& size) {
  const OpenFile file(platform::Files().OpenForRead(path));
  return file.Handle() != platform::FileHandle::None && platform::Files().GetSize(file.Handle(), size);
}

FileBuffer ReadFirmwareFile(std::u16string_view path, std::u16string* details) {
  OpenFile file(platform::Files().OpenForRead(path));
  if (file.Handle() == platform::FileHandle::None) return Fail(details, u"File open failed.\r\n");

  std::uint64_t size = 0;
  if (!platform::Files().GetSize(file.Handle(), size)) return Fail(details, u"File read fail.\r\n");
  if (size >= kFileSizeLimit) return Fail(details, u"File too large.\r\n");

  const auto length = static_cast<std::uint32_t>(size);
  ImageBuffer bytes = AllocateImageBuffer(length);
  if (!bytes) return Fail(details, u"Memory allocate error.\r\n");

  if (!ReadExactly(file.Handle(), bytes.get(), length)) return Fail(details, u"File read fail.\r\n");
  return {std::move(bytes), length};
}

}  // namespace vx
