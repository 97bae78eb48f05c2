#include "frontend/sim_flash_choice.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "emulator/flash_catalogue.h"

namespace vx::frontend {

namespace {

// Address or dummy bytes a chip takes after each read-ID opcode before it
// answers.
bool HeaderBytesFor(std::uint8_t opcode, std::uint8_t& header) {
  switch (opcode) {
    case 0x9F:
    case 0x15:
      header = 0;
      return true;
    case 0x90:
    case 0xAB:
      header = 3;
      return true;
    default:
      return false;
  }
}

bool ParseHexBytes(std::string_view text, std::vector<std::uint8_t>& out) {
  if (text.empty() || text.size() % 2 != 0 || text.size() > 16) return false;
  out.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const std::string pair(text.substr(i, 2));
    if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1]))) {
      return false;
    }
    out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
  }
  return true;
}

bool ParseAnswers(std::string_view choice, std::vector<emu::IdAnswer>& answers, std::string& error) {
  const std::string_view whole = choice;
  while (!choice.empty()) {
    const std::size_t comma = choice.find(',');
    std::string_view item = choice.substr(0, comma);
    choice = comma == std::string_view::npos ? std::string_view{} : choice.substr(comma + 1);
    std::uint8_t opcode = 0x9F;
    const std::size_t equals = item.find('=');
    if (equals != std::string_view::npos) {
      std::vector<std::uint8_t> opcodeBytes;
      if (!ParseHexBytes(item.substr(0, equals), opcodeBytes) || opcodeBytes.size() != 1) {
        error = "--sim-flash: '" + std::string(item) + "' does not start with a two-digit opcode";
        return false;
      }
      opcode = opcodeBytes[0];
      item = item.substr(equals + 1);
    } else if (whole.find(',') != std::string_view::npos) {
      error = "--sim-flash: with several answers each needs its opcode, as in 9F=EF4018,90=EF17";
      return false;
    }
    emu::IdAnswer answer{opcode, 0, {}};
    if (!HeaderBytesFor(opcode, answer.headerBytes)) {
      error = "--sim-flash: " + std::string(whole) + ": the read-ID opcodes are 9F, 90, AB and 15";
      return false;
    }
    if (!ParseHexBytes(item, answer.bytes)) {
      error = "--sim-flash: '" + std::string(item) + "' is not an even number of hexadecimal digits (at most 16)";
      return false;
    }
    if (std::ranges::any_of(answers, [&](const emu::IdAnswer& a) { return a.opcode == opcode; })) {
      error = "--sim-flash: an opcode is given twice in " + std::string(whole);
      return false;
    }
    answers.push_back(std::move(answer));
  }
  return true;
}

bool Answers(const emu::FlashPart& part, const emu::IdAnswer& wanted) {
  return std::ranges::any_of(part.ids, [&](const emu::IdAnswer& id) {
    return id.opcode == wanted.opcode && id.headerBytes == wanted.headerBytes && id.bytes == wanted.bytes;
  });
}

bool AnswersAll(const emu::FlashPart& part, const std::vector<emu::IdAnswer>& answers) {
  return std::ranges::all_of(answers, [&](const emu::IdAnswer& a) { return Answers(part, a); });
}

// A part no catalogue entry stands for: plain 256-byte pages, one status
// byte, both chip-erase opcodes, a capacity from the JEDEC density byte.
emu::FlashPart GenericPart(std::vector<emu::IdAnswer> answers) {
  emu::FlashPart part;
  part.name = "custom";
  part.capacity = 1 * emu::kMiB;
  for (const emu::IdAnswer& answer : answers) {
    if (answer.opcode == 0x9F && answer.bytes.size() == 3 && answer.bytes[2] >= 0x10 && answer.bytes[2] <= 0x18) {
      part.capacity = 1u << answer.bytes[2];
    }
  }
  part.protectBits = 0x0C;
  part.chipEraseOpcodes = {0x60, 0xC7};
  part.ids = std::move(answers);
  part.eraseMs = 1000;
  part.writeStatusMs = 5;
  return part;
}

}  // namespace

bool ChooseFlashPart(const std::string& choice, emu::FlashPart& out, std::string& error) {
  if (choice.empty()) {
    out = emu::PartNamed(kDefaultSimFlash);
    return true;
  }
  std::vector<emu::IdAnswer> answers;
  if (!ParseAnswers(choice, answers, error)) return false;
  const auto& catalogue = emu::FlashCatalogue();
  auto exact = std::ranges::find_if(catalogue, [&](const emu::FlashPart& part) {
    return part.ids.size() == answers.size() && AnswersAll(part, answers);
  });
  if (exact == catalogue.end()) {
    exact = std::ranges::find_if(catalogue, [&](const emu::FlashPart& part) { return AnswersAll(part, answers); });
  }
  out = exact != catalogue.end() ? *exact : GenericPart(std::move(answers));
  return true;
}

}  // namespace vx::frontend
