// Reading an input file of the simulation (its state, its first flash
// content) without trusting what is at the path: only a regular file is
// read (a folder, a device such as /dev/zero or a FIFO is refused at once,
// without waiting for a writer), and never more than the caller can use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vx::frontend {

// Opens path for reading if it is a regular file; -1 with a message in error
// otherwise.
int OpenRegularFile(const std::string& path, std::string& error);

// Reads what fd holds from its start, at most limit bytes; false with a
// message in error when it holds more, or the read fails. name is the path
// for the message.
bool ReadAtMost(int fd, std::size_t limit, const std::string& name, std::vector<std::uint8_t>& out,
                std::string& error);

// The content of the regular file at path, at most limit bytes; false with a
// message in error as above.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& out,
                     std::string& error);

// The system's calls under these (frontend/linux, frontend/win32): up to
// size bytes of fd from offset, their count (0 at the end) or -1 with errno
// set; and the end of a file opened above.
long long ReadAt(int fd, std::uint8_t* data, std::size_t size, std::uint64_t offset);
void CloseRegularFile(int fd);

}  // namespace vx::frontend
