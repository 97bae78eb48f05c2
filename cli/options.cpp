#include "cli/options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "frontend/program_paths.h"

namespace vx::cli {

namespace {

// A decimal or "0x"-prefixed hexadecimal number that fills the whole text.
bool ParseNumber(std::string_view text, std::uint32_t& out) {
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty() || text.size() > 10) return false;
  const std::string digits(text);
  char* end = nullptr;
  const unsigned long long value = std::strtoull(digits.c_str(), &end, base);
  if (*end != '\0' || digits[0] == '-' || digits[0] == '+' || value > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

// Hands the parser the decimal form of a number written as above.
const CLI::Validator kNumber(
    [](std::string& text) -> std::string {
      std::uint32_t value = 0;
      if (!ParseNumber(text, value)) return "needs a decimal or 0x-prefixed hexadecimal number, not '" + text + "'";
      text = std::to_string(value);
      return {};
    },
    "");

const CLI::Validator kNonEmpty(
    [](const std::string& text) -> std::string { return text.empty() ? "needs a non-empty value" : ""; }, "");

const std::pair<const char*, Command> kCommands[] = {
    {"list", Command::List}, {"read", Command::Read}, {"config", Command::Config}, {"help", Command::Help}};

// The first word the parser did not take, as the user would name it.
std::string Unexpected(const std::string& word, bool commandGiven) {
  if (word.starts_with("-") && word != "-") return "unknown option '" + word + "'";
  if (!commandGiven) return "unknown command '" + word + "'";
  return "unexpected argument '" + word + "'";
}

// Which options go together.
bool Check(const Options& out, bool addressGiven, bool lengthGiven, std::string& error) {
  if (out.command == Command::Read) {
    if (out.readFile.empty()) {
      error = "read needs the name of the file to write";
    } else if (lengthGiven && out.length == 0) {
      error = "--length must be at least 1";
    } else if (std::uint64_t{out.address} + out.length > kFlashAddressSpace) {
      error = "the range to read ends beyond the flash's 16 MiB address space";
    }
  } else if (addressGiven || lengthGiven) {
    error = "--address and --length apply to the read command only";
  }
  if (error.empty() && !out.simulate && (!out.simImage.empty() || !out.simFlash.empty())) {
    error = "--sim-image and --sim-flash apply with --simulate only";
  }
  if (error.empty() && out.json && out.command != Command::Update && out.command != Command::List) {
    error = "--json applies to the update and the list command only";
  }
  return error.empty();
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
  out = Options{};
  CLI::App app;
  app.set_help_flag();  // the help is our own text
  app.allow_extras();   // told below in our words
  app.require_subcommand(0, 1);
  bool help = false;
  app.add_flag("-h,--help", help);
  app.add_flag("-y,--yes", out.yes)->disable_flag_override();
  app.add_flag("--json", out.json)->disable_flag_override();
  app.add_flag("-v,--verbose", out.verbose)->disable_flag_override();
  const CLI::Option* simulate = app.add_flag("--simulate{}", out.simState);
  const CLI::Option* trace = app.add_flag("--trace{}", out.traceFile);
  app.add_option("--config", out.configPath)->check(kNonEmpty);
  app.add_option("--sim-image", out.simImage)->check(kNonEmpty);
  app.add_option("--sim-flash", out.simFlash)->check(kNonEmpty);
  const CLI::Option* address = app.add_option("--address", out.address)->transform(kNumber);
  const CLI::Option* length = app.add_option("--length", out.length)->transform(kNumber);
  for (const auto& [name, command] : kCommands) {
    CLI::App* sub = app.add_subcommand(name);
    sub->fallthrough();  // the options may follow the command
    sub->allow_extras();
    if (command == Command::Read) sub->add_option("FILE", out.readFile);
  }

  std::vector<std::string> args(argv, argv + argc);
  std::reverse(args.begin(), args.end());  // the parser takes them last first
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    error = e.what();
    return false;
  }
  const std::vector<CLI::App*> given = app.get_subcommands();
  for (const auto& [name, command] : kCommands) {
    if (!given.empty() && given.front()->get_name() == name) out.command = command;
  }
  if (help || out.command == Command::Help) {
    out.command = Command::Help;
    return true;
  }
  const std::vector<std::string> extras = app.remaining(true);
  if (!extras.empty()) {
    error = Unexpected(extras.front(), !given.empty());
    return false;
  }
  out.simulate = simulate->count() > 0;
  out.trace = trace->count() > 0;
  return Check(out, address->count() > 0, length->count() > 0, error);
}

}  // namespace vx::cli

namespace vx::cli {

std::string HelpText() {
  const std::string settings = frontend::SystemSettingsFolder() + "Config.ini";
  return R"(Usage: vx94c6-updater [OPTIONS] [COMMAND]

Updates the firmware of the first VX94C6 bridge found.

Commands:
  (none)          Run the updater: read the settings, find the first bridge and
                  read what it holds, load the firmware file named in the
                  settings, show what will be updated and ask for
                  confirmation, check the version and checksum gates, then
                  erase, program and verify the bridge.
  list            Show every bridge found: slot, chip information, firmware
                  version, mode, flash chip row and ID, disk and WinUSB paths,
                  hub and port, drive letters.
  read FILE       Save what the first bridge's flash holds to FILE, a backup to
                  keep (by default the 8704 bytes of the configuration and code
                  areas at address 0).
  config          Print which settings file is used and the settings as the
                  updater reads them.

Options:
  --config PATH       Read the settings from PATH; PATH's folder then stands
                      for the program's folder, where the firmware file is
                      looked for.
  --yes, -y           Answer the confirmation with yes. Without --yes the
                      question is asked on the terminal; without a terminal the
                      answer is no, and nothing is erased.
  --json              list: print the bridges as JSON. Update: end with one
                      JSON line of the outcome. Standard output then carries
                      the JSON alone; everything else goes to standard error.
  --address N         read: the first flash address (decimal, or hexadecimal
                      with 0x; default 0).
  --length N          read: the number of bytes (default 8704). A range past
                      the end of the bridge's flash is refused.
  --simulate[=STATE]  Work on an emulated bridge instead of real hardware. With
                      STATE its flash content and protection are kept in the
                      file STATE, so that successive runs see the same bridge
                      (a file of the flash content alone still reads); without,
                      every run starts from a fresh bridge. The emulated bridge reports
                      firmware version 01000005.
  --sim-image FILE    With --simulate: the emulated flash's content when it is
                      first made (default: erased).
  --sim-flash ID      With --simulate: the emulated flash part, by the bytes it
                      answers to 0x9F (hexadecimal, e.g. EF4018), or per command
                      as 9F=EF4018,90=EF17 (default: the part answering EF3013).
  --trace[=FILE]      Write one line per request that reaches a bridge to FILE
                      (default: standard error):
                        SCSI <in|out> <length> <command block bytes> -> <ok|fail>
                        USB <type> <request> <value> <index> <length> -> <ok|fail>
  --verbose, -v       Explain failures on standard error, one line for each
                      cause: a bridge lock not obtained, a SCSI status with
                      its sense data, an operating-system error, the step at
                      which a flash operation stopped, a flash that stays
                      busy. The messages themselves do not change.
  --help, -h          Show this text.

Settings:
  Without --config the settings come from "Config.ini" beside the program, as
  the updater has always read them, or, when there is none, from
  )" + settings + R"(. The firmware file named in them is looked for
  in the folder of the settings file used. Without any settings file every
  setting takes its default, and the version gate then refuses the update.
  "vx94c6-updater config" names the file used.

Platforms:
  Linux: real bridges, as root, or as any other user once the udev rule
  60-vx94c6-updater.rules is installed in /etc/udev/rules.d (cmake --install
  puts it into lib/udev/rules.d below its prefix, which udev reads for the
  prefix /usr). Windows: real bridges through SetupAPI, WinUSB and the SCSI
  pass-through, from an administrator's console. --simulate runs the whole
  updater on an emulated bridge, on any system this program builds on.

Output:
  Before asking, the updater shows the bridge (slot, USB device, disk and
  WinUSB paths, flash chip), its firmware version and code checksum beside
  the values the settings expect, and the firmware file with its checksum.
  On a terminal the progress bar fits the terminal's width, and each finished
  step (protection, erase, write, verify, disk image) stays on a line of its
  own above it; otherwise "Status:" and "Progress:" lines are printed. A
  successful update ends with the line
    Message: Success!!
  and exit code 0; a failed one with its message ("ERROR: Erase chip
  failed.", for one) and the exit code of its class.
  While an update runs, Ctrl+C, Ctrl+\, SIGTERM and a closed terminal do not
  stop the program: the update must finish, or the bridge could be left
  without firmware.

JSON:
  list --json prints {"bridges":[{"slot":0,"vendorId":"1B7E","productId":
  "94C6","firmwareVersion":"01000005","mode":3,"flashChip":{"row":47,"id":
  "EF3013","pageSize":256},"usbDevice":...,"diskPath":...,"blockDevice":
  {"path":"/dev/sdb","mountPoints":[]},"winusbPath":...,"hub":1,"port":1,
  "driveLetters":["E"]}]}; blockDevice is null on Windows.
  An update with --json ends with one line {"result":"updated","exitCode":0,
  "bridge":{...},"versionBefore":"01000005","versionAfter":"01000005",
  "codeChecksumBefore":"0000","firmwareFile":...,"firmwareChecksum":"1A2B",
  "message":"Success!!","simulated":false}; a value not known is null.
  versionAfter is what the bridge reports once the update has ended; the new
  firmware may run only after the bridge is plugged in again. An update that
  is interrupted before it starts (exit code 130) writes no line.

Exit codes (and the JSON result):
  0    success (updated)
  1    a file could not be read or written: the backup, the simulation's
       state (file-error)
  2    the command line is wrong
  3    the settings cannot be used (settings-refused)
  4    no bridge found (no-bridge)
  5    the bridge's flash could not be read (device-read-failed)
  6    the firmware file did not load, or no usable firmware is loaded
       (firmware-not-loaded)
  7    the update was not confirmed (not-confirmed)
  8    the bridge's version or checksum does not match the settings
       (gate-refused)
  9    a step of the update failed (update-failed)
  130  interrupted before the update started
)";
}

}  // namespace vx::cli
