// The system's calls under StateFileLock (frontend/linux, frontend/win32),
// on C runtime descriptors.
#pragma once

#include <cstdint>
#include <string>

namespace vx::frontend::state_file {

// Opens the regular file at path for reading and writing, creating it when
// missing (created tells which), and takes the run's exclusive lock on the
// file there, waiting (after a note on standard error) while another run
// holds it. Returns the open file, with what keeps the lock in hold (which
// outlives closing the file); -1 with a message in error when the path
// cannot be a state file or the lock cannot be had.
int OpenLocked(const std::string& path, bool& created, std::intptr_t& hold, std::string& error);
// Ends the lock.
void Unlock(std::intptr_t hold);

// True when path still names the file open at fd.
bool StillAtPath(int fd, const std::string& path);

void Close(int fd);
void Remove(const std::string& path);

}  // namespace vx::frontend::state_file
