// The flash operations: protection, chip erase, program and read. Each runs
// its steps under the bridge lock; a failing step names itself with a
// FlashError, which the operation tells the diagnostic channel, and the
// operation's single way out sends write disable when that step may have
// left the flash write-enabled.
#include "flash/flash_operations.h"

#include <algorithm>
#include <array>

#include "base/diagnostics.h"
#include "bridge/bridge_lock.h"
#include "flash/flash_busy_wait.h"
#include "flash/flash_capacity.h"
#include "flash/flash_descriptor.h"
#include "flash/flash_error.h"
#include "flash/flash_primitives.h"

namespace vx {
namespace {

// A flash chunk is at most one page and never more than this.
constexpr std::uint32_t kMaxFlashChunk = 256;

std::uint32_t FlashChunk(const FlashDescriptor& chip) { return std::min(kMaxFlashChunk, chip.pageSize); }

// A record the flash operations can work with: a disk path to send on and a
// descriptor whose page size cuts the data into chunks. Otherwise tells the
// diagnostic channel why the operation does not run.
bool HasUsableFlash(const DeviceRecord& device, const char* operation) {
  const char* missing = IsEmpty(device.diskPath)            ? "the bridge has no disk interface"
                        : device.flashChip == nullptr       ? "the flash chip was not identified"
                        : device.flashChip->pageSize == 0   ? "the flash chip's page size is 0"
                                                            : nullptr;
  if (missing != nullptr) ReportCause("flash: %s not run: %s", operation, missing);
  return missing == nullptr;
}

// Tells the diagnostic channel the step at which an operation stopped.
FlashError Told(const char* operation, FlashError error) {
  if (error != FlashError::None) {
    ReportCause("flash: %s stopped: %s (%d)", operation, FlashErrorName(error), static_cast<int>(error));
  }
  return error;
}

// Failures after which the write-enable latch may still be set: the write
// that should clear it was not sent, or the flash never reported the end of
// its internal operation (every busy wait counts, the blank-check poll of an
// erase included).
bool LeavesFlashWriteEnabled(FlashError error) {
  return error == FlashError::WriteStatusFailed || error == FlashError::ChipEraseFailed ||
         error == FlashError::PageProgramFailed || error == FlashError::BusyWaitFailed;
}

bool FinishWriting(const DeviceRecord& device, FlashError error) {
  if (LeavesFlashWriteEnabled(error)) FlashWriteEnable(device, false);  // best effort, result ignored
  return error == FlashError::None;
}

FlashError WriteProtectionSteps(const DeviceRecord& device, bool protect) {
  const FlashDescriptor& chip = *device.flashChip;
  const std::uint32_t value = protect ? chip.protectStatus : chip.unprotectStatus;
  const std::array<std::uint8_t, 2> status{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  const std::size_t statusCount = chip.writeStatus.commandLength == 3 ? 2 : 1;
  if (!FlashWriteEnable(device, true)) return FlashError::WriteEnableFailed;
  if (!FlashWriteStatus(device, std::span(status).first(statusCount))) return FlashError::WriteStatusFailed;
  if (!WaitWhileBusy(device, chip.writeStatus.pollIntervalMs)) return FlashError::BusyWaitFailed;
  if (!FlashWriteEnable(device, false)) return FlashError::WriteDisableFailed;
  return FlashError::None;
}

// Erases the whole chip, then checks that its first chunk reads back blank.
FlashError EraseSteps(const DeviceRecord& device) {
  const FlashDescriptor& chip = *device.flashChip;
  const std::uint32_t chunk = FlashChunk(chip);
  std::array<std::uint8_t, kMaxFlashChunk> readBack;
  readBack.fill(0xFF);
  if (!FlashWriteEnable(device, true)) return FlashError::WriteEnableFailed;
  if (!FlashChipErase(device)) return FlashError::ChipEraseFailed;
  if (!WaitWhileBusy(device, chip.chipErase.pollIntervalMs)) return FlashError::BusyWaitFailed;
  if (!FlashWriteEnable(device, false)) return FlashError::WriteDisableFailed;
  if (!FlashRead(device, 0, readBack.data(), chunk)) return FlashError::BlankCheckReadFailed;
  if (!WaitWhileBusy(device, chip.read.pollIntervalMs)) return FlashError::BusyWaitFailed;
  const auto blank = readBack.begin() + chunk;
  if (std::find_if(readBack.begin(), blank, [](std::uint8_t b) { return b != 0xFF; }) != blank) {
    return FlashError::NotBlank;
  }
  return FlashError::None;
}

FlashError ProgramSteps(const DeviceRecord& device, std::uint32_t address, const std::uint8_t* data,
                        std::uint32_t length) {
  const FlashDescriptor& chip = *device.flashChip;
  const std::uint32_t chunk = FlashChunk(chip);
  for (std::uint32_t offset = 0; offset < length;) {
    const std::uint32_t n = std::min(chunk, length - offset);
    if (!FlashWriteEnable(device, true)) return FlashError::WriteEnableFailed;
    if (!FlashPageProgram(device, address + offset, data + offset, n)) return FlashError::PageProgramFailed;
    if (!WaitWhileBusy(device, chip.pageProgram.pollIntervalMs)) return FlashError::BusyWaitFailed;
    if (!FlashWriteEnable(device, false)) return FlashError::WriteDisableFailed;
    offset += n;
  }
  return FlashError::None;
}

FlashError ReadSteps(const DeviceRecord& device, std::uint32_t address, std::uint8_t* out, std::uint32_t length) {
  const FlashDescriptor& chip = *device.flashChip;
  const std::uint32_t chunk = FlashChunk(chip);
  for (std::uint32_t offset = 0; offset < length;) {
    const std::uint32_t n = std::min(chunk, length - offset);
    if (!FlashRead(device, address + offset, out + offset, n)) return FlashError::ReadFailed;
    if (!WaitWhileBusy(device, chip.read.pollIntervalMs)) return FlashError::BusyWaitFailed;
    offset += n;
  }
  return FlashError::None;
}

}  // namespace

bool SetWriteProtection(const DeviceRecord& device, bool protect) {
  const char* operation = protect ? "write protection on" : "write protection off";
  if (!HasUsableFlash(device, operation)) return false;
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  return FinishWriting(device, Told(operation, WriteProtectionSteps(device, protect)));
}

bool EraseChip(const DeviceRecord& device) {
  if (!HasUsableFlash(device, "erase chip")) return false;
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  return FinishWriting(device, Told("erase chip", EraseSteps(device)));
}

bool ProgramFlash(const DeviceRecord& device, std::uint32_t address, const std::uint8_t* data, std::uint32_t length) {
  if (!HasUsableFlash(device, "program") || (data == nullptr && length != 0) ||
      !WithinKnownEnd(device, address, length)) {
    return false;  // programming past the end would wrap around to the configuration
  }
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  return FinishWriting(device, Told("program", ProgramSteps(device, address, data, length)));
}

bool ReadFlash(const DeviceRecord& device, std::uint32_t address, std::uint8_t* out, std::uint32_t length) {
  if (!HasUsableFlash(device, "read") || (out == nullptr && length != 0)) return false;
  BridgeLock lock(device.mutex);
  if (!lock.Held()) return false;
  // Reading never write-enables the flash, so a failure needs no clean-up.
  return Told("read", ReadSteps(device, address, out, length)) == FlashError::None;
}

}  // namespace vx
