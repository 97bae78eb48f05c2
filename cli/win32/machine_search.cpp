#include "cli/machine_search.h"

namespace vx::cli {

void PrepareMachineSearch(const platform::Platform&, const ProgramPaths&, Command, std::FILE*) {}

void ReportMachineNotices(Command, std::FILE*) {}

std::string BlockDeviceText(const DeviceRecord&) { return {}; }

}  // namespace vx::cli
