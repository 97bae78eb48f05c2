// The command line on any arguments (the input split at NUL bytes): no crash,
// and what is accepted holds together.
#include <string>
#include <vector>

#include "cli/options.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> words;
  std::string word;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      words.push_back(word);
      word.clear();
    } else {
      word += static_cast<char>(data[i]);
    }
  }
  if (!word.empty()) words.push_back(word);
  std::vector<const char*> argv;
  for (const std::string& w : words) argv.push_back(w.c_str());

  vx::cli::Options options;
  std::string error;
  if (vx::cli::ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error)) {
    // With help asked for, nothing but the help text is used.
    if (options.command == vx::cli::Command::Help) return 0;
    if (options.command == vx::cli::Command::Read) {
      FUZZ_CHECK(!options.readFile.empty());
      FUZZ_CHECK(std::uint64_t{options.address} + options.length <= vx::cli::kFlashAddressSpace);
    }
    if (!options.simulate) FUZZ_CHECK(options.simImage.empty() && options.simFlash.empty());
  } else {
    FUZZ_CHECK(!error.empty());
  }
  return 0;
}
