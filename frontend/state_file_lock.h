// The simulation's state file stands for one bridge, so one run at a time
// may use it: a run holds an exclusive lock on it from before it reads the
// bridge's content until after it has saved it, and a second run waits. The
// file is created empty when it does not exist yet (an empty state file is a
// bridge seen for the first time).
#pragma once

#include <string>

namespace vx::frontend {

class StateFileLock {
 public:
  StateFileLock() = default;
  // Releases the lock; an empty file that this run created and never saved
  // is removed again.
  ~StateFileLock();
  StateFileLock(const StateFileLock&) = delete;
  StateFileLock& operator=(const StateFileLock&) = delete;

  // Opens or creates the regular file at path and locks it, waiting (after a
  // note on standard error) while another run holds it. False with a message
  // in error when the path cannot be a state file.
  bool Acquire(const std::string& path, std::string& error);
  // The locked file, open for reading.
  int Descriptor() const { return fd_; }
  // The content is about to replace the file: it is no longer removed.
  void Keep();

 private:
  void Close();

  std::string path_;
  int fd_ = -1;
  bool created_ = false;
};

}  // namespace vx::frontend
