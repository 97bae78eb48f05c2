#include "platform/linux/linux_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "platform/linux/descriptor_handles.h"

namespace vx::platform::linux_backend {

FileHandle LinuxFiles::OpenForRead(std::u16string_view path) {
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return FileHandle::None;
  // Non-blocking so that opening a FIFO cannot hang; it is refused below.
  const int fd = ::open(ToNativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileHandle::None;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return FileHandle::None;
  }
  return HandleOfDescriptor<FileHandle>(fd);
}

bool LinuxFiles::GetSize(FileHandle file, std::uint64_t& size) {
  if (file == FileHandle::None) return false;
  struct stat info {};
  if (::fstat(DescriptorOf(file), &info) != 0) return false;
  size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool LinuxFiles::Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (file == FileHandle::None || (buffer == nullptr && length != 0)) return false;
  auto* out = static_cast<unsigned char*>(buffer);
  while (bytesRead < length) {
    const ssize_t got = ::read(DescriptorOf(file), out + bytesRead, length - bytesRead);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;  // end of file
    bytesRead += static_cast<std::uint32_t>(got);
  }
  return true;
}

bool LinuxFiles::GetStamp(FileHandle file, FileStamp& stamp) {
  struct stat info {};
  if (file == FileHandle::None || ::fstat(DescriptorOf(file), &info) != 0) return false;
  const auto nanoseconds = [](const timespec& t) {
    return static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_nsec);
  };
  stamp = FileStamp{{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uint64_t>(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)}};
  return true;
}

void LinuxFiles::Close(FileHandle file) {
  if (file != FileHandle::None) ::close(DescriptorOf(file));
}

}  // namespace vx::platform::linux_backend
