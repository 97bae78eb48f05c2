#include "emulator/bridge_trace.h"

#include <cstdio>
#include <utility>

namespace vx::emu {

namespace {

template <typename Entry>
void Trim(std::deque<Entry>& entries, std::size_t kept) {
  while (entries.size() > kept) entries.pop_front();
}

template <typename Entry>
void Append(std::deque<Entry>& entries, Entry entry, std::size_t kept) {
  if (kept == 0) return;
  entries.push_back(std::move(entry));
  Trim(entries, kept);
}

}  // namespace

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

void BridgeTrace::Keep(std::size_t entries) {
  std::lock_guard lock(mutex_);
  kept_ = entries;
  Trim(scsi_, kept_);
  Trim(spi_, kept_);
  Trim(usb_, kept_);
}

void BridgeTrace::Record(ScsiTraceEntry entry) {
  std::lock_guard lock(mutex_);
  Append(scsi_, std::move(entry), kept_);
}

void BridgeTrace::Record(SpiTraceEntry entry) {
  std::lock_guard lock(mutex_);
  Append(spi_, std::move(entry), kept_);
}

void BridgeTrace::Record(UsbTraceEntry entry) {
  std::lock_guard lock(mutex_);
  Append(usb_, entry, kept_);
}

void BridgeTrace::Clear() {
  std::lock_guard lock(mutex_);
  scsi_.clear();
  spi_.clear();
  usb_.clear();
}

std::vector<ScsiTraceEntry> BridgeTrace::Scsi() const {
  std::lock_guard lock(mutex_);
  return {scsi_.begin(), scsi_.end()};
}

std::vector<SpiTraceEntry> BridgeTrace::Spi() const {
  std::lock_guard lock(mutex_);
  return {spi_.begin(), spi_.end()};
}

std::vector<UsbTraceEntry> BridgeTrace::Usb() const {
  std::lock_guard lock(mutex_);
  return {usb_.begin(), usb_.end()};
}

std::string BridgeTrace::SpiOpcodes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint8_t> opcodes;
  opcodes.reserve(spi_.size());
  for (const auto& entry : spi_) opcodes.push_back(entry.command.front());
  return HexBytes(opcodes);
}

}  // namespace vx::emu
