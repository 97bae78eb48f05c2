// VX94C6FWUpdater.exe: the updater as a Windows dialog program.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
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

// The arguments after the program name, in UTF-8.
std::vector<std::string> Arguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(vx::ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
  LocalFree(words);
  return args;
}

void Tell(const std::string& text, UINT icon) {
  MessageBoxW(nullptr, vx::platform::win32_backend::Wide(vx::FromUtf8(text)).c_str(), L"VX94C6FWUpdater", MB_OK | icon);
}

int Run(const vx::gui::ProgramOptions& options) {
  using namespace vx;
  std::string error;
  platform::Platform apis = platform::NativePlatform();
  std::unique_ptr<frontend::Simulation> simulation;
  if (options.simulate) {
    emu::FlashPart part;
    if (!frontend::ChooseFlashPart(options.simFlash, part, error)) {
      Tell(error, MB_ICONERROR);
      return kExitUsage;
    }
    simulation = std::make_unique<frontend::Simulation>();
    if (!simulation->Start(options.simState, options.simImage, part, error)) {
      Tell(error, MB_ICONERROR);
      return kExitFileError;
    }
    apis = simulation->Apis(apis);
  }
  {
    const platform::ScopedPlatform installed(apis);
    gui::CVX94C6FWUpdaterApp app(frontend::ResolveProgramPaths(options.configPath));
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
  if (!vx::gui::ParseProgramOptions(Arguments(), options, error)) {
    Tell(error + "\n\n" + vx::gui::UsageText(), MB_ICONERROR);
    return kExitUsage;
  }
  if (options.help) {
    Tell(vx::gui::UsageText(), MB_ICONINFORMATION);
    return kExitOk;
  }
  return Run(options);
}
