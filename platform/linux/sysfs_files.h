// Reading sysfs: one attribute, the entries of a directory. Every descriptor
// and directory stream opened here is closed before the call returns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::platform::linux_backend {

// The attribute's text without surrounding white space (sysfs pads some
// values and ends every one with a newline); nothing when it cannot be read.
// At most 4096 bytes are read, a sysfs attribute's page.
std::optional<std::string> ReadAttribute(const std::string& path);

// An attribute read as a number in the given base; nothing when it is
// missing, empty or not wholly a number of at most 32 bits.
std::optional<std::uint32_t> ReadNumber(const std::string& path, int base);

// The names in a directory, "." and ".." left out, sorted; empty when it
// cannot be read.
std::vector<std::string> ListEntries(const std::string& directory);

bool IsDirectory(const std::string& path);

}  // namespace vx::platform::linux_backend
