// Writing a whole file so that a failure never leaves a partial file under
// its name: the bytes go to a temporary file created beside it (a new, unique
// name; never through a link), reach the disk, and only then take the final
// name. Only a regular file that the user may write is ever replaced: a
// device node, a folder, a symbolic link or a read-only file at the path is
// refused and left as it was. No temporary file stays behind, also when an
// interrupt arrives meanwhile (interrupts wait until the file is in place).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vx::frontend {

// False with the reason in error when the file cannot be written.
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> content, std::string& error);

}  // namespace vx::frontend
