// The simulation's state file stands for one bridge, so one run at a time
// may use it: a run holds an exclusive lock on it from before it reads the
// bridge's content until after it has saved it, and a second run waits. The
// file is created empty when it does not exist yet (an empty state file is a
// bridge seen for the first time). The lock stands for the file that was at
// the path when it was taken: saving puts a new file there, which the next
// run then locks.
#pragma once

#include <cstdint>
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
  // The locked file, open for reading until Keep().
  int Descriptor() const { return fd_; }
  // New content is about to replace the file: it is no longer removed, and
  // it is closed (Windows replaces no file that is open), while the lock
  // stays until the end.
  void Keep();

 private:
  void Close();

  std::string path_;
  int fd_ = -1;
  std::intptr_t hold_ = -1;  // what keeps the lock, see state_file_calls.h
  bool created_ = false;
};

}  // namespace vx::frontend
