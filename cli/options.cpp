#include "cli/options.h"

#include <cstdlib>
#include <string_view>

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

class Parser {
 public:
  Parser(int argc, const char* const* argv, Options& out, std::string& error)
      : argc_(argc), argv_(argv), out_(out), error_(error) {}

  bool Parse() {
    bool addressGiven = false;
    bool lengthGiven = false;
    for (index_ = 0; index_ < argc_; ++index_) {
      const std::string_view arg = argv_[index_];
      if (!arg.starts_with("-") || arg == "-") {
        if (!TakePositional(arg)) return false;
        continue;
      }
      const std::size_t equals = arg.find('=');
      const std::string_view name = arg.substr(0, equals);
      const bool hasValue = equals != std::string_view::npos;
      const std::string_view inlineValue = hasValue ? arg.substr(equals + 1) : std::string_view{};
      std::string value;
      if (name == "--help" || name == "-h") {
        out_.command = Command::Help;
        return true;
      } else if (name == "--yes" || name == "-y") {
        if (hasValue) return Fail("--yes takes no value");
        out_.yes = true;
      } else if (name == "--simulate") {
        out_.simulate = true;
        out_.simState = inlineValue;
        if (hasValue && inlineValue.empty()) return Fail("--simulate= needs a state file name");
      } else if (name == "--trace") {
        out_.trace = true;
        out_.traceFile = inlineValue;
        if (hasValue && inlineValue.empty()) return Fail("--trace= needs a file name");
      } else if (name == "--config") {
        if (!TakeValue(name, hasValue, inlineValue, out_.configPath)) return false;
      } else if (name == "--sim-image") {
        if (!TakeValue(name, hasValue, inlineValue, out_.simImage)) return false;
      } else if (name == "--sim-flash") {
        if (!TakeValue(name, hasValue, inlineValue, out_.simFlash)) return false;
      } else if (name == "--address" || name == "--length") {
        if (!TakeValue(name, hasValue, inlineValue, value)) return false;
        std::uint32_t number = 0;
        if (!ParseNumber(value, number)) {
          return Fail(std::string(name) + " needs a decimal or 0x-prefixed hexadecimal number, not '" + value + "'");
        }
        (name == "--address" ? out_.address : out_.length) = number;
        (name == "--address" ? addressGiven : lengthGiven) = true;
      } else {
        return Fail("unknown option '" + std::string(arg) + "'");
      }
    }
    return Check(addressGiven, lengthGiven);
  }

 private:
  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  bool TakeValue(std::string_view name, bool hasValue, std::string_view inlineValue, std::string& out) {
    if (hasValue) {
      out = inlineValue;
    } else if (index_ + 1 < argc_) {
      out = argv_[++index_];
    } else {
      return Fail(std::string(name) + " needs a value");
    }
    if (out.empty()) return Fail(std::string(name) + " needs a non-empty value");
    return true;
  }

  bool TakePositional(std::string_view arg) {
    if (!commandSeen_) {
      commandSeen_ = true;
      if (arg == "list") {
        out_.command = Command::List;
      } else if (arg == "read") {
        out_.command = Command::Read;
      } else if (arg == "config") {
        out_.command = Command::Config;
      } else if (arg == "help") {
        out_.command = Command::Help;
      } else {
        return Fail("unknown command '" + std::string(arg) + "'");
      }
      return true;
    }
    if (out_.command == Command::Read && out_.readFile.empty()) {
      out_.readFile = arg;
      return true;
    }
    return Fail("unexpected argument '" + std::string(arg) + "'");
  }

  bool Check(bool addressGiven, bool lengthGiven) {
    if (out_.command == Command::Help) return true;
    if (out_.command == Command::Read) {
      if (out_.readFile.empty()) return Fail("read needs the name of the file to write");
      if (lengthGiven && out_.length == 0) return Fail("--length must be at least 1");
      const std::uint64_t end = std::uint64_t{out_.address} + out_.length;
      if (end > kFlashAddressSpace) return Fail("the range to read ends beyond the flash's 16 MiB address space");
    } else if (addressGiven || lengthGiven) {
      return Fail("--address and --length apply to the read command only");
    }
    if (!out_.simulate && (!out_.simImage.empty() || !out_.simFlash.empty())) {
      return Fail("--sim-image and --sim-flash apply with --simulate only");
    }
    return true;
  }

  int argc_;
  const char* const* argv_;
  Options& out_;
  std::string& error_;
  int index_ = 0;
  bool commandSeen_ = false;
};

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error) {
  out = Options{};
  return Parser(argc, argv, out, error).Parse();
}

}  // namespace vx::cli

namespace vx::cli {

const char* HelpText() {
  return R"(Usage: vx94c6-updater [OPTIONS] [COMMAND]

Updates the firmware of the first VX94C6 bridge found.

Commands:
  (none)          Run the updater: read the settings, find the first bridge and
                  read what it holds, load the firmware file named in the
                  settings, ask for confirmation, check the version and
                  checksum gates, then erase, program and verify the bridge.
  list            Show every bridge found: slot, chip information, firmware
                  version, mode, flash chip row and ID, disk and WinUSB paths,
                  hub and port, drive letters.
  read FILE       Save what the first bridge's flash holds to FILE, a backup to
                  keep (by default the 8704 bytes of the configuration and code
                  areas at address 0).
  config          Print the settings as the updater reads them.

Options:
  --config PATH       Read the settings from PATH instead of "Config.ini" beside
                      the program; PATH's folder then stands for the program's
                      folder, where the firmware file is looked for.
  --yes, -y           Answer the confirmation with yes. Without --yes the
                      question is asked on the terminal; without a terminal the
                      answer is no, and nothing is erased.
  --address N         read: the first flash address (decimal, or hexadecimal
                      with 0x; default 0).
  --length N          read: the number of bytes (default 8704).
  --simulate[=STATE]  Work on an emulated bridge instead of real hardware. With
                      STATE its flash content is kept in the file STATE, so that
                      successive runs see the same bridge; without, every run
                      starts from a fresh bridge. The emulated bridge reports
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
  --help, -h          Show this text.

While an update runs, Ctrl+C does not stop the program: the update must finish,
or the bridge could be left without firmware.

Exit codes:
  0    success
  1    a file could not be read or written (the backup, the simulation's state)
  2    the command line is wrong
  3    the settings cannot be used
  4    no bridge found
  5    the bridge's flash could not be read
  6    the firmware file did not load, or no usable firmware is loaded
  7    the update was not confirmed
  8    the bridge's version or checksum does not match the settings
  9    a step of the update failed
  130  interrupted before the update started
)";
}

}  // namespace vx::cli
