#include "frontend/program_arguments.h"

#include <windows.h>

#include <shellapi.h>

#include "base/text.h"

namespace vx::frontend {

std::vector<std::string> ProgramArguments(int, const char* const*) {
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (words == nullptr) return {};
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(ToNativePath(reinterpret_cast<const char16_t*>(words[i])));
  ::LocalFree(words);
  return args;
}

}  // namespace vx::frontend
