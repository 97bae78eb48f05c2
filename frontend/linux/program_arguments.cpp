#include "frontend/program_arguments.h"

namespace vx::frontend {

std::vector<std::string> ProgramArguments(int argc, const char* const* argv) {
  if (argc < 1) return {};
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace vx::frontend
