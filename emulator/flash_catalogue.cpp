#include "emulator/flash_catalogue.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vx::emu {

namespace {

// The identification commands, as the chips answer them.
IdAnswer Jedec(std::uint8_t maker, std::uint8_t type, std::uint8_t density) {
  return {0x9F, 0, {maker, type, density}};
}
IdAnswer ManufacturerDevice(std::uint8_t maker, std::uint8_t device) { return {0x90, 3, {maker, device}}; }
IdAnswer Signature(std::uint8_t maker, std::uint8_t device) { return {0xAB, 3, {maker, device}}; }
IdAnswer Legacy15(std::uint8_t maker, std::uint8_t device) { return {0x15, 0, {maker, device}}; }

constexpr std::uint8_t kErase60 = 0x60;
constexpr std::uint8_t kEraseC7 = 0xC7;
constexpr std::uint8_t kErase62 = 0x62;

// clang-format off
std::vector<FlashPart> BuildCatalogue() {
  return {
    // Maker 0xC2.
    {.name = "C2 25 14", .row = 1, .capacity = 1 * kMiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC2, 0x25, 0x14)}, .eraseMs = 5000, .writeStatusMs = 5},
    {.name = "C2 20 11", .row = 3, .capacity = 128 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x20, 0x11), ManufacturerDevice(0xC2, 0x10)}, .eraseMs = 1500, .writeStatusMs = 8},
    {.name = "C2 22 10", .row = 4, .capacity = 64 * kKiB, .pageSize = 32, .protectBits = 0x0C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x22, 0x10)}, .eraseMs = 700, .writeStatusMs = 5},
    {.name = "C2 22 11", .row = 5, .capacity = 128 * kKiB, .pageSize = 32, .protectBits = 0x0C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x22, 0x11)}, .eraseMs = 1200, .writeStatusMs = 5},
    {.name = "C2 20 17", .row = 6, .capacity = 8 * kMiB, .protectBits = 0x3C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x20, 0x17), ManufacturerDevice(0xC2, 0x16)}, .eraseMs = 40000, .writeStatusMs = 30},
    {.name = "C2 20 15", .row = 8, .capacity = 2 * kMiB, .protectBits = 0x3C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x20, 0x15)}, .eraseMs = 15000, .writeStatusMs = 30},
    {.name = "C2 20 10", .row = 9, .capacity = 64 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x20, 0x10), ManufacturerDevice(0xC2, 0x05)}, .eraseMs = 700, .writeStatusMs = 5},
    {.name = "C2 20 18", .row = 10, .capacity = 16 * kMiB, .protectBits = 0x3C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xC2, 0x20, 0x18), ManufacturerDevice(0xC2, 0x17)}, .eraseMs = 50000, .writeStatusMs = 30},
    // Maker 0x1F: the older parts answer only the 0x15 command; 1F 47 powers up protected.
    {.name = "1F 60 (0x15 only)", .row = 11, .capacity = 128 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kErase62}, .ids = {Legacy15(0x1F, 0x60)}, .eraseMs = 2000, .writeStatusMs = 40},
    {.name = "1F 65 (0x15 only)", .row = 14, .capacity = 64 * kKiB, .pageSize = 128, .protectBits = 0x0C, .chipEraseOpcodes = {kErase62}, .ids = {Legacy15(0x1F, 0x65)}, .eraseMs = 1500, .writeStatusMs = 40},
    {.name = "1F 47 00", .row = 15, .capacity = 4 * kMiB, .protectBits = 0x3C, .powersUpProtected = true, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0x1F, 0x47, 0x00)}, .eraseMs = 36000, .writeStatusMs = 1},
    {.name = "1F 87 01", .row = 16, .capacity = 4 * kMiB, .protectBits = 0x3C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x1F, 0x87, 0x01)}, .eraseMs = 30000, .writeStatusMs = 10},
    // Maker 0x1C.
    {.name = "1C 31 13", .row = 17, .capacity = 512 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x1C, 0x31, 0x13)}, .eraseMs = 3000, .writeStatusMs = 8},
    {.name = "1C 20 10", .row = 18, .capacity = 64 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x1C, 0x20, 0x10), ManufacturerDevice(0x1C, 0x05)}, .eraseMs = 700, .writeStatusMs = 8},
    {.name = "1C 70 15", .row = 19, .capacity = 2 * kMiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x1C, 0x70, 0x15), ManufacturerDevice(0x1C, 0x14)}, .eraseMs = 12000, .writeStatusMs = 10},
    // Maker 0x20.
    {.name = "20 20 13", .row = 20, .capacity = 512 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x20, 0x20, 0x13)}, .eraseMs = 3000, .writeStatusMs = 5},
    {.name = "20 20 10", .row = 21, .capacity = 64 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x20, 0x20, 0x10)}, .eraseMs = 700, .writeStatusMs = 5},
    {.name = "20 20 11", .row = 22, .capacity = 128 * kKiB, .protectBits = 0x0C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x20, 0x20, 0x11)}, .eraseMs = 1500, .writeStatusMs = 5},
    // Maker 0xBF: write-status after 0x50, and every block protected at power-up. The newest parts have no status
    // register to write; they answer 0x9F with maker, 0x26 and their device
    // byte, and rows 26 and 27 are the rows those answers stand for.
    {.name = "BF 49 (0x90 only)", .row = 23, .capacity = 128 * kKiB, .protectBits = 0x0C, .writeStatusNeedsEwsr = true, .powersUpProtected = true, .chipEraseOpcodes = {kErase60}, .ids = {ManufacturerDevice(0xBF, 0x49)}, .eraseMs = 70, .writeStatusMs = 10},
    {.name = "BF 25 48", .row = 24, .capacity = 64 * kKiB, .protectBits = 0x0C, .writeStatusNeedsEwsr = true, .powersUpProtected = true, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xBF, 0x25, 0x48)}, .eraseMs = 70, .writeStatusMs = 10},
    {.name = "BF 25 4B", .row = 25, .capacity = 8 * kMiB, .protectBits = 0x3C, .writeStatusNeedsEwsr = true, .powersUpProtected = true, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xBF, 0x25, 0x4B)}, .programMs = 2, .eraseMs = 45, .writeStatusMs = 1},
    {.name = "BF 26 02", .row = 26, .capacity = 4 * kMiB, .hasWriteStatus = false, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xBF, 0x26, 0x02)}, .eraseMs = 40},
    {.name = "BF 26 01", .row = 27, .capacity = 2 * kMiB, .hasWriteStatus = false, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xBF, 0x26, 0x01)}, .eraseMs = 40},
    // Maker 0x9D: identified by 0xAB, which answers maker then device; the
    // newer parts also answer 0x9F with a 0x7F continuation code first.
    {.name = "9D 40 (0xAB)", .row = 28, .capacity = 256 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Signature(0x9D, 0x40)}, .programMs = 2, .eraseMs = 30, .writeStatusMs = 10},
    {.name = "9D 10 (0xAB)", .row = 29, .capacity = 64 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Signature(0x9D, 0x10)}, .programMs = 2, .eraseMs = 30, .writeStatusMs = 10},
    {.name = "9D 11 (0xAB)", .row = 30, .capacity = 128 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Signature(0x9D, 0x11)}, .programMs = 2, .eraseMs = 30, .writeStatusMs = 10},
    {.name = "9D 7B (0xAB)", .row = 31, .capacity = 256 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x7F, 0x9D, 0x7B), Signature(0x9D, 0x7B)}, .programMs = 2, .eraseMs = 100, .writeStatusMs = 40},
    {.name = "9D 7C (0xAB)", .row = 32, .capacity = 512 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x7F, 0x9D, 0x7C), Signature(0x9D, 0x7C)}, .programMs = 2, .eraseMs = 100, .writeStatusMs = 40},
    {.name = "9D 7D (0xAB)", .row = 33, .capacity = 1 * kMiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x7F, 0x9D, 0x7D), Signature(0x9D, 0x7D)}, .programMs = 2, .eraseMs = 150, .writeStatusMs = 40},
    {.name = "9D 7E (0xAB)", .row = 34, .capacity = 2 * kMiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x7F, 0x9D, 0x7E), Signature(0x9D, 0x7E)}, .programMs = 2, .eraseMs = 200, .writeStatusMs = 40},
    {.name = "9D 02 (0xAB)", .row = 35, .capacity = 64 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Signature(0x9D, 0x02)}, .programMs = 2, .eraseMs = 5, .writeStatusMs = 2},
    // Maker 0xC8: two status bytes, except the largest part.
    {.name = "C8 40 16", .row = 36, .capacity = 4 * kMiB, .statusBytes = 2, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x16)}, .eraseMs = 20000, .writeStatusMs = 2},
    {.name = "C8 40 13", .row = 37, .capacity = 512 * kKiB, .statusBytes = 2, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x13)}, .eraseMs = 4000, .writeStatusMs = 10},
    {.name = "C8 40 12", .row = 38, .capacity = 256 * kKiB, .statusBytes = 2, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x12)}, .eraseMs = 3000, .writeStatusMs = 10},
    {.name = "C8 40 11", .row = 39, .capacity = 128 * kKiB, .statusBytes = 2, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x11)}, .eraseMs = 1500, .writeStatusMs = 10},
    {.name = "C8 40 10", .row = 40, .capacity = 64 * kKiB, .statusBytes = 2, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x10)}, .eraseMs = 700, .writeStatusMs = 10},
    {.name = "C8 40 15", .row = 41, .capacity = 2 * kMiB, .statusBytes = 2, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x15)}, .eraseMs = 12000, .writeStatusMs = 2},
    {.name = "C8 40 18", .row = 42, .capacity = 16 * kMiB, .protectBits = 0x7C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xC8, 0x40, 0x18)}, .eraseMs = 40000, .writeStatusMs = 5},
    // Maker 0x37: two status bytes.
    {.name = "37 30 13", .row = 43, .capacity = 512 * kKiB, .statusBytes = 2, .protectBits = 0x1C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0x37, 0x30, 0x13)}, .programMs = 2, .eraseMs = 6000, .writeStatusMs = 5},
    {.name = "37 30 16", .row = 44, .capacity = 4 * kMiB, .statusBytes = 2, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x37, 0x30, 0x16)}, .programMs = 2, .eraseMs = 20000, .writeStatusMs = 5},
    // Maker 0xEF.
    {.name = "EF 40 16", .row = 45, .capacity = 4 * kMiB, .protectBits = 0x1C, .chipEraseOpcodes = {kErase60}, .ids = {Jedec(0xEF, 0x40, 0x16), ManufacturerDevice(0xEF, 0x15)}, .eraseMs = 15000, .writeStatusMs = 10},
    {.name = "EF 40 18", .row = 46, .capacity = 16 * kMiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xEF, 0x40, 0x18), ManufacturerDevice(0xEF, 0x17)}, .eraseMs = 40000, .writeStatusMs = 10},
    {.name = "EF 30 13", .row = 47, .capacity = 512 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0xEF, 0x30, 0x13), ManufacturerDevice(0xEF, 0x12)}, .eraseMs = 2500, .writeStatusMs = 15},

    // Other roads to a row: one identification command only.
    {.name = "EF 17 (0x90 only)", .row = 46, .capacity = 16 * kMiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {ManufacturerDevice(0xEF, 0x17)}, .eraseMs = 40000, .writeStatusMs = 10},
    {.name = "9D 7F 7C (0x9F only)", .row = 32, .capacity = 512 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x9D, 0x7F, 0x7C)}, .programMs = 2, .eraseMs = 100, .writeStatusMs = 40},

    // Parts no row matches.
    {.name = std::string(kSilentPart), .capacity = 1 * kMiB, .protectBits = 0x0C, .chipEraseOpcodes = {kErase60, kEraseC7}, .ids = {}, .eraseMs = 5000, .writeStatusMs = 5},
    {.name = std::string(kUnknownMakerPart), .capacity = 1 * kMiB, .protectBits = 0x0C, .chipEraseOpcodes = {kErase60, kEraseC7}, .ids = {Jedec(0xA1, 0x40, 0x14), ManufacturerDevice(0xA1, 0x13)}, .eraseMs = 5000, .writeStatusMs = 5},
    {.name = std::string(kContinuationCodePart), .capacity = 512 * kKiB, .protectBits = 0x1C, .chipEraseOpcodes = {kEraseC7}, .ids = {Jedec(0x7F, 0x9D, 0x13)}, .programMs = 2, .eraseMs = 100, .writeStatusMs = 40},
  };
}
// clang-format on

}  // namespace

const std::vector<FlashPart>& FlashCatalogue() {
  static const std::vector<FlashPart> catalogue = BuildCatalogue();
  return catalogue;
}

const FlashPart& PartForRow(int row) {
  const auto& parts = FlashCatalogue();
  auto it = std::ranges::find(parts, row, &FlashPart::row);
  if (row < 0 || it == parts.end()) {
    throw std::out_of_range("no emulated flash part is selected by row " + std::to_string(row));
  }
  return *it;
}

const FlashPart& PartNamed(std::string_view name) {
  const auto& parts = FlashCatalogue();
  auto it = std::ranges::find(parts, name, &FlashPart::name);
  if (it == parts.end()) throw std::out_of_range("no emulated flash part named " + std::string(name));
  return *it;
}

}  // namespace vx::emu
