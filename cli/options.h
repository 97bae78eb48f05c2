// The command line: one optional command and its options.
#pragma once

#include <cstdint>
#include <string>

#include "app/update_images.h"

namespace vx::cli {

enum class Command { Update, List, Read, Config, Help };

// The flash commands carry 24-bit addresses: nothing beyond 16 MiB is read.
inline constexpr std::uint32_t kFlashAddressSpace = 0x1000000;

struct Options {
  Command command = Command::Update;
  std::string readFile;    // read: where the backup goes
  std::uint32_t address = 0;
  std::uint32_t length = kDeviceContentLength;  // the configuration and code areas
  std::string configPath;  // empty: "Config.ini" beside the program
  bool yes = false;
  bool simulate = false;
  std::string simState;    // empty: the emulated bridge keeps nothing between runs
  std::string simImage;    // the emulated flash's first content; empty: erased
  std::string simFlash;    // the emulated part's ID answers; empty: the default part
  bool trace = false;
  std::string traceFile;   // empty: standard error
  bool json = false;       // list and update: JSON on standard output, the rest on standard error
  bool verbose = false;    // the causes of failures to standard error
};

// Parses the arguments after the program name; false with a message in
// error when they are wrong.
bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error);

// The --help text.
std::string HelpText();

}  // namespace vx::cli
