// --sim-flash: which SPI flash part the emulated bridge carries, chosen by
// the bytes it answers to the read-ID commands: "EF4018" for the 0x9F
// answer, or per command "9F=EF4018,90=EF17".
#pragma once

#include <string>

#include "emulator/flash_part.h"

namespace vx::frontend {

// The part the emulated bridge carries when --sim-flash is not given.
inline constexpr const char* kDefaultSimFlash = "EF 30 13";

// The catalogue part that answers exactly as asked; failing that, the first
// one that answers every given command as asked; failing that, a generic
// part with just those answers. An empty choice gives the default part.
// False with a message in error when the choice cannot be read.
bool ChooseFlashPart(const std::string& choice, emu::FlashPart& out, std::string& error);

}  // namespace vx::frontend
