#include "frontend/state_file_lock.h"

#include "frontend/interrupted_file.h"
#include "frontend/state_file_calls.h"

namespace vx::frontend {

StateFileLock::~StateFileLock() { Close(); }

bool StateFileLock::Acquire(const std::string& path, std::string& error) {
  Close();
  path_ = path;
  fd_ = state_file::OpenLocked(path, created_, hold_, error);
  if (fd_ < 0) {
    created_ = false;
    return false;
  }
  // Only the holder of the lock may remove the file it created.
  if (created_) RemoveOnInterrupt(path_.c_str());
  return true;
}

void StateFileLock::Keep() {
  created_ = false;
  RemoveOnInterrupt(nullptr);
  if (fd_ >= 0) state_file::Close(fd_);
  fd_ = -1;
}

void StateFileLock::Close() {
  if (created_) {
    RemoveOnInterrupt(nullptr);
    if (fd_ >= 0 && state_file::StillAtPath(fd_, path_)) state_file::Remove(path_);
  }
  if (fd_ >= 0) state_file::Close(fd_);
  if (hold_ >= 0) state_file::Unlock(hold_);
  fd_ = -1;
  hold_ = -1;
  created_ = false;
}

}  // namespace vx::frontend
