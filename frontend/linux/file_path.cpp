#include "frontend/file_path.h"

namespace vx::frontend {

// Linux names files by their bytes.
std::filesystem::path FilePath(const std::string& path) { return std::filesystem::path(path); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

}  // namespace vx::frontend
