#include "emulator/machine_text.h"

namespace vx::emu {

std::u16string LowerAscii(std::u16string_view text) {
  std::u16string lowered(text);
  for (auto& c : lowered)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return lowered;
}

std::u16string Widen(std::string_view text) {
  std::u16string wide;
  wide.reserve(text.size());
  for (char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

}  // namespace vx::emu
