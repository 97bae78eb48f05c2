// Writing a whole file so that a failure never leaves a partial file under
// its name: the bytes go to a temporary file beside it, which then takes the
// final name. A file already there stays as it was when the write fails.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vx::frontend {

// False with the system's reason in error when the file cannot be written.
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> content, std::string& error);

}  // namespace vx::frontend
