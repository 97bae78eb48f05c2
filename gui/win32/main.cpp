// VX94C6FWUpdater.exe: the updater as a Windows dialog program.
#include <windows.h>

#include <memory>
#include <string>

#include "base/text.h"
#include "frontend/program_arguments.h"
#include "frontend/program_paths.h"
#include "frontend/sim_flash_choice.h"
#include "frontend/simulation.h"
#include "gui/win32/program_options.h"
#include "gui/win32/updater_app.h"
#include "platform/native_platform.h"
#include "platform/platform.h"
#include "platform/win32/win32_text.h"

namespace {

// Exit codes, as the command-line program has them.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;  // the simulation's state or image file
constexpr int kExitUsage = 2;
constexpr int kExitSettings = 3;   // the settings file named with --config

void Tell(const std::string& text, UINT icon) {
  const std::wstring wide = vx::platform::win32_backend::Wide(vx::FromUtf8(text));
  MessageBoxW(nullptr, wide.c_str(), L"VX94C6FWUpdater", MB_OK | icon);
}

int Run(const vx::gui::ProgramOptions& options) {
  using namespace vx;
  std::string error;
  // Config.ini beside the program, or the file named with --config.
  const frontend::ProgramPaths paths = frontend::ResolveProgramPaths(options.configPath, frontend::ProgramFolder(), "");
  if (!frontend::CheckSettingsFile(paths, error)) {
    Tell(error, MB_ICONERROR);
    return kExitSettings;
  }
  platform::Platform apis = platform::NativePlatform();
  std::unique_ptr<frontend::Simulation> simulation;
  if (options.simulate) {
    emu::FlashPart part;
    if (!frontend::ChooseFlashPart(options.simFlash, part, error)) {
      Tell(error, MB_ICONERROR);
      return kExitUsage;
    }
    simulation = std::make_unique<frontend::Simulation>();
    if (!simulation->Start({options.simState, options.simImage}, part, error)) {
      Tell(error, MB_ICONERROR);
      return kExitFileError;
    }
    apis = simulation->Apis(apis);
  }
  {
    const platform::ScopedPlatform installed(apis);
    gui::CVX94C6FWUpdaterApp app(paths);
    app.InitInstance();
  }
  if (simulation && !simulation->Save(error)) {
    Tell(error, MB_ICONERROR);
    return kExitFileError;
  }
  return kExitOk;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  vx::gui::ProgramOptions options;
  std::string error;
  if (!vx::gui::ParseProgramOptions(vx::frontend::ProgramArguments(0, nullptr), options, error)) {
    Tell(error + "\n\n" + vx::gui::UsageText(), MB_ICONERROR);
    return kExitUsage;
  }
  if (options.help) {
    Tell(vx::gui::UsageText(), MB_ICONINFORMATION);
    return kExitOk;
  }
  return Run(options);
}
