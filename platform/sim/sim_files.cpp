#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cstring>

#include "base/ascii_text.h"

namespace vx::platform::sim {

using vx::LowerAscii;

void SimFiles::Write(std::u16string_view path, std::string_view bytes) {
  std::lock_guard guard(lock_);
  files_[LowerAscii(path)] = File{std::make_shared<const std::string>(bytes), {}, nextVersion_++};
}

void SimFiles::Write(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  Write(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool SimFiles::SetFaults(std::u16string_view path, const SimFileFaults& faults) {
  std::lock_guard guard(lock_);
  const auto found = files_.find(LowerAscii(path));
  if (found == files_.end()) return false;
  found->second.faults = faults;
  found->second.version = nextVersion_++;
  return true;
}

std::size_t SimFiles::OpenCount() const { return open_.OpenCount(); }

FileHandle SimFiles::OpenForRead(std::u16string_view path) {
  std::lock_guard guard(lock_);
  const auto found = files_.find(LowerAscii(path));
  if (found == files_.end() || found->second.faults.openFails) return FileHandle::None;
  return open_.Open(OpenFile{found->second, 0});
}

bool SimFiles::GetSize(FileHandle file, std::uint64_t& size) {
  const auto opened = open_.Find(file);
  if (!opened) return false;
  size = opened->file.faults.reportedSize.value_or(opened->file.bytes->size());
  return true;
}

bool SimFiles::Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  bytesRead = 0;
  const auto opened = open_.Find(file);
  if (!opened || opened->file.faults.readFails) return false;
  if (buffer == nullptr && length != 0) return false;
  const std::string& bytes = *opened->file.bytes;
  std::size_t count = std::min<std::size_t>(length, bytes.size() - opened->position);
  if (opened->file.faults.readLimit) count = std::min<std::size_t>(count, *opened->file.faults.readLimit);
  if (count != 0) std::memcpy(buffer, bytes.data() + opened->position, count);
  open_.Update(file, [count](OpenFile& open) { open.position += count; });
  bytesRead = static_cast<std::uint32_t>(count);
  return true;
}

void SimFiles::Close(FileHandle file) { open_.Close(file); }

bool SimFiles::GetStamp(FileHandle file, FileStamp& stamp) {
  const auto opened = open_.Find(file);
  if (!opened) return false;
  stamp = FileStamp{{opened->file.version}};
  return true;
}

}  // namespace vx::platform::sim
