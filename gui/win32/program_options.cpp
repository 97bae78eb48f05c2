#include "gui/win32/program_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace vx::gui {

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& out, std::string& error) {
  out = ProgramOptions{};
  CLI::App app;
  app.set_help_flag();  // the help is our own text
  app.add_flag("-h,--help", out.help);
  const CLI::Option* simulate = app.add_flag("--simulate{}", out.simState);
  app.add_option("--config", out.configPath);
  app.add_option("--sim-image", out.simImage);
  app.add_option("--sim-flash", out.simFlash);
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // the parser takes them last first
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    error = e.what();
    return false;
  }
  out.simulate = simulate->count() > 0;
  if (!out.simulate && (!out.simImage.empty() || !out.simFlash.empty())) {
    error = "--sim-image and --sim-flash apply with --simulate only";
    return false;
  }
  return true;
}

const char* UsageText() {
  return R"(Usage: VX94C6FWUpdater [OPTIONS]

Updates the firmware of the first VX94C6 bridge found, with the settings in
"Config.ini" beside the program.

For demonstrations and tests:
  --config PATH       Read the settings from PATH; its folder then stands for
                      the program's folder, where the firmware file is looked
                      for.
  --simulate[=STATE]  Work on an emulated bridge instead of real hardware; with
                      STATE its flash content is kept in that file between
                      runs.
  --sim-image FILE    With --simulate: the emulated flash's content when it is
                      first made (default: erased).
  --sim-flash ID      With --simulate: the emulated flash part, by the bytes it
                      answers to 0x9F (e.g. EF4018), or per command as
                      9F=EF4018,90=EF17.
  --help, -h          Show this text.)";
}

}  // namespace vx::gui
