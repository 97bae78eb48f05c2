// Paths as both programs hold them: UTF-8 text (on Linux, any bytes, see
// ToNativePath) from the command line, the settings or the program's own
// folder. Windows reads narrow names in its ANSI code page, not in UTF-8, so
// every file the programs open themselves is named through this.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace vx::frontend {

std::filesystem::path FilePath(const std::string& path);

// The text of a path, as FilePath takes it.
std::string PathText(const std::filesystem::path& path);

// std::fopen for such a path.
std::FILE* OpenFile(const std::string& path, const char* mode);

}  // namespace vx::frontend
