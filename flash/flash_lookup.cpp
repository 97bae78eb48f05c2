#include "flash/flash_lookup.h"

#include <array>
#include <cstdint>
#include <span>

#include "flash/flash_table.h"

namespace vx {
namespace {

// A test on the device bytes of an ID word (byte 0, the manufacturer code,
// is lowest): matches when (idWord & mask) == value.
struct IdKey {
  std::uint32_t mask;
  std::uint32_t value;
};

constexpr IdKey Byte1(std::uint8_t b1) { return {0x0000FF00u, std::uint32_t{b1} << 8}; }
constexpr IdKey Byte2(std::uint8_t b2) { return {0x00FF0000u, std::uint32_t{b2} << 16}; }
constexpr IdKey Bytes12(std::uint8_t b1, std::uint8_t b2) {
  return {0x00FFFF00u, std::uint32_t{b1} << 8 | std::uint32_t{b2} << 16};
}
constexpr IdKey Bytes23(std::uint8_t b2, std::uint8_t b3) {
  return {0xFFFF0000u, std::uint32_t{b2} << 16 | std::uint32_t{b3} << 24};
}

struct Choice {
  IdKey key;
  int row;
};

// The first matching choice wins.
constexpr Choice kC2ByByte1[] = {
    {Byte1(0x05), 9}, {Byte1(0x10), 3}, {Byte1(0x16), 6}, {Byte1(0x17), 10}, {Byte1(0x19), 8}};
constexpr Choice kC2ByBytes12[] = {
    {Bytes12(0x20, 0x10), 9}, {Bytes12(0x20, 0x11), 3}, {Bytes12(0x20, 0x17), 6}, {Bytes12(0x20, 0x18), 10},
    {Byte1(0x20), 8},  // any other device of the 0x20 family
    {Bytes12(0x22, 0x10), 4}, {Bytes12(0x22, 0x11), 5}};
constexpr Choice k1FByByte1[] = {{Byte1(0x47), 15}, {Byte1(0x65), 14}, {Byte1(0x87), 16}};
constexpr Choice k1CByByte1[] = {{Byte1(0x05), 18}, {Byte1(0x14), 19}};
constexpr Choice k1CByBytes12[] = {{Bytes12(0x20, 0x10), 18}, {Bytes12(0x70, 0x15), 19}};
constexpr Choice k20ByByte2[] = {{Byte2(0x10), 21}, {Byte2(0x11), 22}};
// The 0x26 family answers 9F with BF 26 xx, family in byte 1 and device in
// byte 2; the layout with the family in byte 2 and the device in byte 3 is
// recognised as well.
constexpr Choice kBFByDeviceBytes[] = {{Byte2(0x48), 24},         {Byte2(0x4B), 25},
                                       {Bytes23(0x26, 0x01), 27}, {Bytes23(0x26, 0x02), 26},
                                       {Bytes12(0x26, 0x01), 27}, {Bytes12(0x26, 0x02), 26}};
// The 0x9D device byte is byte 1 of an AB answer and byte 2 of a 9F answer.
template <IdKey (*Key)(std::uint8_t)>
constexpr Choice k9DByDeviceByte[] = {{Key(0x02), 35}, {Key(0x10), 29}, {Key(0x11), 30}, {Key(0x7B), 31},
                                      {Key(0x7C), 32}, {Key(0x7D), 33}, {Key(0x7E), 34}};
constexpr Choice kC8ByByte1[] = {{Byte1(0x05), 40}, {Byte1(0x10), 39}, {Byte1(0x11), 38},
                                 {Byte1(0x12), 37}, {Byte1(0x14), 41}, {Byte1(0x17), 42}};
constexpr Choice kC8ByBytes12[] = {{Bytes12(0x40, 0x10), 40}, {Bytes12(0x40, 0x11), 39},
                                   {Bytes12(0x40, 0x12), 38}, {Bytes12(0x40, 0x13), 37},
                                   {Bytes12(0x40, 0x15), 41}, {Bytes12(0x40, 0x18), 42}};
constexpr Choice k37ByByte1[] = {{Byte1(0x15), 44}};
constexpr Choice k37ByByte2[] = {{Byte2(0x16), 44}};
constexpr Choice kEFByByte1[] = {{Byte1(0x12), 47}, {Byte1(0x17), 46}};
constexpr Choice kEFByBytes12[] = {{Bytes12(0x30, 0x13), 47}, {Bytes12(0x40, 0x18), 46}};

// For one manufacturer and the read-ID opcodes listed (0 pads the list), the
// choices to try on the device bytes.
struct Rule {
  std::uint8_t manufacturer;
  std::array<std::uint8_t, 4> opcodes;
  std::span<const Choice> choices;
};

constexpr Rule kRules[] = {
    {0xC2, {0x90, 0xCF, 0xDF, 0xEF}, kC2ByByte1},
    {0xC2, {0x9F, 0xAF}, kC2ByBytes12},
    {0x1F, {0x15, 0x1D, 0x9F}, k1FByByte1},
    {0x1C, {0x90}, k1CByByte1},
    {0x1C, {0x9F}, k1CByBytes12},
    {0x20, {0x9F}, k20ByByte2},
    {0xBF, {0x90, 0x9F}, kBFByDeviceBytes},
    {0x9D, {0xAB}, k9DByDeviceByte<Byte1>},
    {0x9D, {0x9F}, k9DByDeviceByte<Byte2>},
    {0xC8, {0x90}, kC8ByByte1},
    {0xC8, {0x9F}, kC8ByBytes12},
    {0x37, {0x90}, k37ByByte1},
    {0x37, {0x9F}, k37ByByte2},
    {0xEF, {0x90, 0x92, 0x94, 0xAB}, kEFByByte1},
    {0xEF, {0x9F}, kEFByBytes12},
};

// The known manufacturers and the row used when the device bytes (or the
// opcode) are not recognised.
struct Manufacturer {
  std::uint8_t code;
  int defaultRow;
};

constexpr Manufacturer kManufacturers[] = {{0xC2, 1},  {0x1F, 11}, {0x1C, 17}, {0x20, 20}, {0xBF, 23},
                                           {0x9D, 28}, {0xC8, 36}, {0x37, 43}, {0xEF, 45}};

constexpr bool Lists(const std::array<std::uint8_t, 4>& opcodes, std::uint8_t opcode) {
  for (std::uint8_t listed : opcodes) {
    if (listed != 0 && listed == opcode) return true;
  }
  return false;
}

int RowFor(std::uint32_t idWord, std::uint8_t opcode, int defaultRow) {
  const std::uint8_t manufacturer = idWord & 0xFFu;
  for (const Rule& rule : kRules) {
    if (rule.manufacturer != manufacturer || !Lists(rule.opcodes, opcode)) continue;
    for (const Choice& choice : rule.choices) {
      if ((idWord & choice.key.mask) == choice.key.value) return choice.row;
    }
  }
  return defaultRow;
}

}  // namespace

FlashLookup LookupFlash(std::uint32_t idWord, std::uint8_t opcode) {
  const std::uint8_t manufacturer = idWord & 0xFFu;
  for (const Manufacturer& known : kManufacturers) {
    if (known.code != manufacturer) continue;
    const int row = RowFor(idWord, opcode, known.defaultRow);
    return {row, &FlashDescriptorTable[row]};
  }
  return {-1, nullptr};
}

}  // namespace vx
