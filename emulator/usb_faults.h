// Faults injected at the USB side of an emulated bridge, for the vendor
// command blocks that its mass-storage interface passes to the bridge. A
// rule picks a command by the bridge's running number (the first vendor
// command is 1) or as the k-th SPI command with a given SPI opcode (k from 1),
// and fires once:
//  - Fail: the bridge answers check condition and does not carry it out;
//  - Vanish: the bridge is unplugged, the command fails on its way;
//  - Stall: carried out, but bulk IN is stalled and the status says failed;
//  - Hang: carried out, but no data or status ever comes back, and the
//    transport stays silent until the host resets the device.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vx::emu {

enum class UsbFaultAction : std::uint8_t { Fail, Vanish, Stall, Hang };

struct UsbFaultWhen {
  std::uint64_t number = 0;               // when no SPI opcode is given
  std::optional<std::uint8_t> spiOpcode;  // with occurrence
  std::uint32_t occurrence = 0;

  static UsbFaultWhen Command(std::uint64_t number) { return {number, std::nullopt, 0}; }
  static UsbFaultWhen SpiCommand(std::uint8_t opcode, std::uint32_t occurrence) { return {0, opcode, occurrence}; }
};

class UsbFaultPlan {
 public:
  void Add(UsbFaultWhen when, UsbFaultAction action);
  // The fault for the vendor command the bridge is about to receive as
  // `number`; counts the command's SPI opcode.
  std::optional<UsbFaultAction> Take(std::uint64_t number, std::span<const std::uint8_t> cdb);

 private:
  struct Rule {
    UsbFaultWhen when;
    UsbFaultAction action;
    bool used;
  };
  std::vector<Rule> rules_;
  std::array<std::uint32_t, 256> spiCounts_{};
};

}  // namespace vx::emu
