// A file that exists only for a stretch of the run (a state file made by this
// run and not saved yet) and that the run must not leave behind when an
// interrupt ends it meanwhile. The front end's interrupt handling, where it
// has one, removes the file on its way out.
#pragma once

namespace vx::frontend {

// One file at a time; null forgets it. The text must outlive the
// registration.
void RemoveOnInterrupt(const char* path);

// The file to remove, or null. Safe to call from a signal handler.
const char* FileToRemoveOnInterrupt();

}  // namespace vx::frontend
