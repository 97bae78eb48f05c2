#include "emulator/usb_faults.h"

#include "emulator/bridge_io.h"

namespace vx::emu {

namespace {

constexpr std::size_t kSpiOpcodeByte = 8;

std::optional<std::uint8_t> SpiOpcodeOf(std::span<const std::uint8_t> cdb) {
  if (cdb.size() <= kSpiOpcodeByte || (cdb[0] != scsi::kSpiOut && cdb[0] != scsi::kSpiIn)) return std::nullopt;
  return cdb[kSpiOpcodeByte];
}

}  // namespace

void UsbFaultPlan::Add(UsbFaultWhen when, UsbFaultAction action) { rules_.push_back({when, action, false}); }

std::optional<UsbFaultAction> UsbFaultPlan::Take(std::uint64_t number, std::span<const std::uint8_t> cdb) {
  const auto spiOpcode = SpiOpcodeOf(cdb);
  const std::uint32_t occurrence = spiOpcode ? ++spiCounts_[*spiOpcode] : 0;
  for (Rule& rule : rules_) {
    if (rule.used) continue;
    const bool matches = rule.when.spiOpcode ? spiOpcode == rule.when.spiOpcode && occurrence == rule.when.occurrence
                                             : number == rule.when.number;
    if (!matches) continue;
    rule.used = true;
    return rule.action;
  }
  return std::nullopt;
}

}  // namespace vx::emu
