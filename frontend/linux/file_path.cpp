#include "frontend/file_path.h"

namespace vx::frontend {

// Linux names files by their bytes.
std::filesystem::path FilePath(const std::string& path) { return std::filesystem::path(path); }

std::string PathText(const std::filesystem::path& path) { return path.string(); }

}  // namespace vx::frontend
