#include "emulator/bridge_faults.h"

namespace vx::emu {

namespace {

constexpr std::size_t kSpiOpcodeByte = 8;

template <typename Rule>
void UseOnce(Rule& rule) {
  if (rule.times != kEveryTime) --rule.times;
}

bool IsSpiCommand(std::span<const std::uint8_t> cdb) {
  return cdb.size() > kSpiOpcodeByte && (cdb[0] == scsi::kSpiOut || cdb[0] == scsi::kSpiIn);
}

}  // namespace

void FaultPlan::OnCommand(std::uint64_t number, Fault fault) {
  std::lock_guard lock(mutex_);
  rules_.push_back({number, {}, {}, fault, 1});
}

void FaultPlan::OnOpcode(std::uint8_t opcode, Fault fault, std::uint32_t times) {
  std::lock_guard lock(mutex_);
  rules_.push_back({{}, opcode, {}, fault, times});
}

void FaultPlan::OnSpiOpcode(std::uint8_t spiOpcode, Fault fault, std::uint32_t times) {
  std::lock_guard lock(mutex_);
  rules_.push_back({{}, {}, spiOpcode, fault, times});
}

void FaultPlan::OnUsbRequest(UsbFault fault, std::uint32_t times, std::optional<std::uint16_t> value) {
  std::lock_guard lock(mutex_);
  usbRules_.push_back({value, fault, times});
}

void FaultPlan::Clear() {
  std::lock_guard lock(mutex_);
  rules_.clear();
  usbRules_.clear();
}

std::optional<Fault> FaultPlan::Take(std::uint64_t number, std::span<const std::uint8_t> cdb) {
  std::lock_guard lock(mutex_);
  for (auto& rule : rules_) {
    if (rule.times == 0) continue;
    if (rule.number && *rule.number != number) continue;
    if (rule.opcode && (cdb.empty() || cdb[0] != *rule.opcode)) continue;
    if (rule.spiOpcode && (!IsSpiCommand(cdb) || cdb[kSpiOpcodeByte] != *rule.spiOpcode)) continue;
    UseOnce(rule);
    return rule.fault;
  }
  return std::nullopt;
}

std::optional<UsbFault> FaultPlan::TakeUsb(const UsbRequest& request) {
  std::lock_guard lock(mutex_);
  for (auto& rule : usbRules_) {
    if (rule.times == 0) continue;
    if (rule.value && *rule.value != request.value) continue;
    UseOnce(rule);
    return rule.fault;
  }
  return std::nullopt;
}

}  // namespace vx::emu
