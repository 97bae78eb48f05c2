// vx94c6-updater: the updater on a console.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/config_command.h"
#include "cli/diagnostic_output.h"
#include "cli/exit_codes.h"
#include "cli/interrupt_guard.h"
#include "cli/json_report.h"
#include "cli/list_command.h"
#include "cli/machine_search.h"
#include "cli/options.h"
#include "cli/read_command.h"
#include "cli/update_command.h"
#include "frontend/program_arguments.h"
#include "frontend/program_paths.h"
#include "frontend/sim_flash_choice.h"
#include "frontend/simulation.h"
#include "platform/native_platform.h"
#include "platform/platform.h"

namespace vx::cli {

namespace {

void Complain(const std::string& message) { std::fprintf(stderr, "vx94c6-updater: %s\n", message.c_str()); }

int RunCommand(const Options& options, const frontend::ProgramPaths& paths, InterruptGuard& guard,
               UpdateReport& report) {
  switch (options.command) {
    case Command::List:
      return RunListCommand(options);
    case Command::Read:
      return RunReadCommand(options);
    case Command::Config:
      return RunConfigCommand(paths);
    case Command::Update:
    case Command::Help:
      break;
  }
  return RunUpdateCommand(options, paths, guard, report);
}

bool UsesSettings(Command command) { return command == Command::Update || command == Command::Config; }

int Run(const Options& options, UpdateReport& report) {
  InterruptGuard guard;
  std::string error;
  DiagnosticOutput diagnostics;
  if (!diagnostics.Start(options.verbose, options.trace, options.traceFile, error)) {
    Complain(error);
    return kExitFileError;
  }

  const frontend::ProgramPaths paths =
      frontend::ResolveProgramPaths(options.configPath, frontend::ProgramFolder(), frontend::SystemSettingsFolder());
  if (UsesSettings(options.command) && !frontend::CheckSettingsFile(paths, error)) {
    Complain(error);
    return kExitSettings;
  }

  report.simulated = options.simulate;
  std::unique_ptr<frontend::Simulation> simulation;
  platform::Platform apis = platform::NativePlatform();
  if (options.simulate) {
    emu::FlashPart part;
    if (!frontend::ChooseFlashPart(options.simFlash, part, error)) {
      Complain(error);
      return kExitUsage;
    }
    simulation = std::make_unique<frontend::Simulation>();
    if (!simulation->Start({options.simState, options.simImage}, part, error)) {
      Complain(error);
      return kExitFileError;
    }
    apis = simulation->Apis(apis);
  } else {
    PrepareMachineSearch(apis, paths, options.command, stderr);
  }
  int code = kExitOk;
  {
    const platform::ScopedPlatform installed(apis);
    code = RunCommand(options, paths, guard, report);
  }
  if (!simulation) ReportMachineNotices(options.command, stderr);
  if (simulation && !simulation->Save(error)) {
    Complain(error);
    if (code == kExitOk) code = kExitFileError;
  }
  return code;
}

}  // namespace

}  // namespace vx::cli

int main(int argc, char** argv) {
  using namespace vx::cli;
  // UTF-8 on every system, so that any file name can be given.
  const std::vector<std::string> words = vx::frontend::ProgramArguments(argc, argv);
  std::vector<const char*> args;
  for (const std::string& word : words) args.push_back(word.c_str());
  Options options;
  std::string error;
  if (!ParseOptions(static_cast<int>(args.size()), args.data(), options, error)) {
    std::fprintf(stderr, "vx94c6-updater: %s\nTry 'vx94c6-updater --help'.\n", error.c_str());
    return kExitUsage;
  }
  if (options.command == Command::Help) {
    std::fputs(HelpText().c_str(), stdout);
    return kExitOk;
  }
  UpdateReport report;
  const int code = Run(options, report);
  // The summary line comes last, once the exit code is final.
  if (options.json && options.command == Command::Update) std::printf("%s\n", UpdateJson(report, code).c_str());
  return code;
}
