#include "emulator/flash_state.h"

#include <algorithm>
#include <array>

namespace vx::emu {

namespace {

constexpr std::array<std::uint8_t, 4> kTrailerMark = {'V', 'X', 'S', 'R'};
constexpr std::uint8_t kFormat = 1;
constexpr std::uint8_t kStatusBytes = 2;
constexpr std::size_t kTrailerSize = kTrailerMark.size() + 2 + kStatusBytes;
static_assert(kTrailerSize == kFlashStateTrailerSize);

}  // namespace

std::vector<std::uint8_t> SaveFlashState(const SpiFlash& flash) {
  const auto array = flash.Array();
  std::vector<std::uint8_t> saved(array.begin(), array.end());
  saved.insert(saved.end(), kTrailerMark.begin(), kTrailerMark.end());
  saved.insert(saved.end(), {kFormat, kStatusBytes, flash.StoredStatus(0), flash.StoredStatus(1)});
  return saved;
}

bool LoadFlashState(std::span<const std::uint8_t> saved, SpiFlash& flash, std::string& error) {
  const std::size_t capacity = flash.Array().size();
  if (saved.size() == capacity + kTrailerSize) {
    const auto trailer = saved.subspan(capacity);
    if (!std::equal(kTrailerMark.begin(), kTrailerMark.end(), trailer.begin()) || trailer[4] != kFormat ||
        trailer[5] != kStatusBytes) {
      error = "its last " + std::to_string(kTrailerSize) + " bytes are not a status record of this program";
      return false;
    }
    flash.SetStatus(trailer[6], trailer[7]);
  } else if (saved.size() != capacity) {
    error = "it holds " + std::to_string(saved.size()) + " bytes, but the emulated flash (" + flash.Part().name +
            ") holds " + std::to_string(capacity);
    return false;
  }
  std::ranges::copy(saved.first(capacity), flash.Array().begin());
  flash.PowerCycle();
  return true;
}

}  // namespace vx::emu
