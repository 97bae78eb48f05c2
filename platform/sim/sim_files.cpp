#include "platform/sim/sim_files.h"

#include <algorithm>
#include <cstring>

namespace vx::platform::sim {

namespace {

std::u16string FoldedPath(std::u16string_view path) {
  std::u16string folded(path);
  for (char16_t& c : folded)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return folded;
}

}  // namespace

void SimFiles::Write(std::u16string_view path, std::string_view bytes) {
  std::lock_guard guard(lock_);
  files_[FoldedPath(path)] = File{std::make_shared<const std::string>(bytes), {}};
}

void SimFiles::Write(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  Write(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool SimFiles::SetFaults(std::u16string_view path, const SimFileFaults& faults) {
  std::lock_guard guard(lock_);
  const auto found = files_.find(FoldedPath(path));
  if (found == files_.end()) return false;
  found->second.faults = faults;
  return true;
}

std::size_t SimFiles::OpenCount() const {
  std::lock_guard guard(lock_);
  return open_.size();
}

FileHandle SimFiles::OpenForRead(std::u16string_view path) {
  std::lock_guard guard(lock_);
  const auto found = files_.find(FoldedPath(path));
  if (found == files_.end() || found->second.faults.openFails) return FileHandle::None;
  const std::uintptr_t handle = nextHandle_++;
  open_.emplace(handle, OpenFile{found->second, 0});
  return static_cast<FileHandle>(handle);
}

bool SimFiles::GetSize(FileHandle file, std::uint64_t& size) {
  std::lock_guard guard(lock_);
  const auto found = open_.find(static_cast<std::uintptr_t>(file));
  if (found == open_.end()) return false;
  const File& opened = found->second.file;
  size = opened.faults.reportedSize.value_or(opened.bytes->size());
  return true;
}

bool SimFiles::Read(FileHandle file, void* buffer, std::uint32_t length, std::uint32_t& bytesRead) {
  bytesRead = 0;
  std::lock_guard guard(lock_);
  const auto found = open_.find(static_cast<std::uintptr_t>(file));
  if (found == open_.end() || found->second.file.faults.readFails) return false;
  if (buffer == nullptr && length != 0) return false;
  OpenFile& opened = found->second;
  const std::string& bytes = *opened.file.bytes;
  std::size_t count = std::min<std::size_t>(length, bytes.size() - opened.position);
  if (opened.file.faults.readLimit) count = std::min<std::size_t>(count, *opened.file.faults.readLimit);
  if (count != 0) std::memcpy(buffer, bytes.data() + opened.position, count);
  opened.position += count;
  bytesRead = static_cast<std::uint32_t>(count);
  return true;
}

void SimFiles::Close(FileHandle file) {
  std::lock_guard guard(lock_);
  open_.erase(static_cast<std::uintptr_t>(file));
}

}  // namespace vx::platform::sim
