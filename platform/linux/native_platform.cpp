#include "platform/native_platform.h"

#include <filesystem>
#include <system_error>

#include "base/text.h"
#include "platform/linux/linux_platform.h"

namespace vx::platform {

const Platform& NativePlatform() { return linux_backend::LinuxPlatform(); }

std::u16string ProgramFile() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::u16string() : FromUtf8(program.string());
}

}  // namespace vx::platform
