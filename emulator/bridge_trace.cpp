#include "emulator/bridge_trace.h"

#include <cstdio>

namespace vx::emu {

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += hex;
  }
  return text;
}

void BridgeTrace::Record(ScsiTraceEntry entry) {
  std::lock_guard lock(mutex_);
  scsi_.push_back(std::move(entry));
}

void BridgeTrace::Record(SpiTraceEntry entry) {
  std::lock_guard lock(mutex_);
  spi_.push_back(std::move(entry));
}

void BridgeTrace::Record(UsbTraceEntry entry) {
  std::lock_guard lock(mutex_);
  usb_.push_back(entry);
}

void BridgeTrace::Clear() {
  std::lock_guard lock(mutex_);
  scsi_.clear();
  spi_.clear();
  usb_.clear();
}

std::vector<ScsiTraceEntry> BridgeTrace::Scsi() const {
  std::lock_guard lock(mutex_);
  return scsi_;
}

std::vector<SpiTraceEntry> BridgeTrace::Spi() const {
  std::lock_guard lock(mutex_);
  return spi_;
}

std::vector<UsbTraceEntry> BridgeTrace::Usb() const {
  std::lock_guard lock(mutex_);
  return usb_;
}

std::string BridgeTrace::SpiOpcodes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t> opcodes;
  opcodes.reserve(spi_.size());
  for (const auto& entry : spi_) opcodes.push_back(entry.command.front());
  return HexBytes(opcodes);
}

}  // namespace vx::emu
