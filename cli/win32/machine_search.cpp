#include "cli/machine_search.h"

namespace vx::cli {

void PrepareMachineSearch(const platform::Platform&, const frontend::ProgramPaths&, Command, std::FILE*) {}

void ReportMachineNotices(Command, std::FILE*) {}

std::optional<BlockDevice> BlockDeviceOf(const DeviceRecord&) { return std::nullopt; }

}  // namespace vx::cli
