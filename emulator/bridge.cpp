#include "emulator/bridge.h"

#include <algorithm>
#include <vector>

namespace vx::emu {

namespace {

constexpr std::size_t kChipInfoBlockLength = 6;
constexpr std::size_t kSpiBlockLength = 16;
constexpr std::size_t kSectorBlockLength = 10;
constexpr std::size_t kSpiCommandFirstByte = 8;
constexpr std::uint8_t kMaxSpiCommandBytes = 8;
constexpr std::size_t kModeByte = 11;
constexpr std::uint8_t kSpiDummyByte = 0x00;  // what the bridge clocks out while it reads

constexpr std::uint8_t kVendorRequestIn = 0xC0;
constexpr std::uint8_t kChipRequest = 0xF1;
constexpr std::uint16_t kChipInfoValue = 0x7E1B;
constexpr std::uint16_t kChipInfoIndex = 1;

ScsiResult Good(std::uint32_t transferred) { return {true, scsi::kGood, {}, transferred}; }
ScsiResult CheckCondition(Sense why = sense::kInvalidField) { return {true, scsi::kCheckCondition, why}; }
ScsiResult Failed() { return {false, 0}; }

bool HasSignature(std::span<const std::uint8_t> cdb) { return cdb[4] == 0x1B && cdb[5] == 0x7E; }

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t byte : bytes) value = (value << 8) | byte;
  return value;
}

}  // namespace

Bridge::Bridge(BridgeConfig config) : config_(config) {}

Bridge::Bridge(const VirtualClock& clock, const FlashPart& part, BridgeConfig config)
    : config_(config), flash_(std::make_unique<SpiFlash>(part, clock)) {}

ScsiResult Bridge::ExecuteScsi(const ScsiCommand& command) {
  std::lock_guard lock(mutex_);
  if (!present_) return Failed();
  const std::uint64_t number = ++commands_;
  const auto fault = faults_.Take(number, command.cdb);
  const ScsiResult result = fault ? CarryFault(*fault, command) : Carry(command);
  trace_.Record(ScsiTraceEntry{{command.cdb.begin(), command.cdb.end()},
                               command.dataIn,
                               command.transferLength,
                               result.completed,
                               result.status});
  return result;
}

ScsiResult Bridge::CarryFault(const Fault& fault, const ScsiCommand& command) {
  switch (fault.kind) {
    case FaultKind::CallFails:
      return Failed();
    case FaultKind::Status:
      return {true, fault.status, fault.sense};
    case FaultKind::IgnoreWrite:
      return Good(command.transferLength);
    case FaultKind::Vanish:
      present_ = false;
      return Failed();
    case FaultKind::StickBusy: {
      const ScsiResult result = Carry(command);
      if (flash_) flash_->SetStuckBusy(true);
      return result;
    }
    case FaultKind::CorruptByte: {
      const ScsiResult result = Carry(command);
      if (command.dataIn && fault.length < result.transferred) command.data[fault.length] ^= 0xFF;
      return result;
    }
    case FaultKind::ShortData: {
      if (!command.dataIn || command.transferLength <= fault.length) return Carry(command);
      std::vector<std::uint8_t> full(command.transferLength);
      ScsiCommand whole = command;
      whole.data = full.data();
      ScsiResult result = Carry(whole);
      if (result.completed && result.status == scsi::kGood) {
        result.transferred = std::min(result.transferred, fault.length);
        std::copy_n(full.begin(), result.transferred, command.data);
      }
      return result;
    }
  }
  return Failed();
}

ScsiResult Bridge::Carry(const ScsiCommand& command) {
  if (command.cdb.empty()) return CheckCondition(sense::kInvalidOpcode);
  switch (command.cdb[0]) {
    case scsi::kReadChipInfo:
      return ReadChipInfo(command);
    case scsi::kSpiOut:
    case scsi::kSpiIn:
      return Spi(command);
    case scsi::kReadImageSectors:
    case scsi::kWriteImageSectors:
      return Sectors(command);
    default:
      return CheckCondition(sense::kInvalidOpcode);
  }
}

ScsiResult Bridge::ReadChipInfo(const ScsiCommand& command) {
  const auto cdb = command.cdb;
  if (cdb.size() != kChipInfoBlockLength || !HasSignature(cdb) || !command.dataIn) return CheckCondition();
  const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(command.transferLength, config_.chipInfo.size()));
  std::copy_n(config_.chipInfo.begin(), length, command.data);
  return Good(length);
}

ScsiResult Bridge::Spi(const ScsiCommand& command) {
  const auto cdb = command.cdb;
  const bool in = cdb[0] == scsi::kSpiIn;
  if (cdb.size() != kSpiBlockLength || !HasSignature(cdb) || command.dataIn != in) return CheckCondition();
  const std::uint8_t n = cdb[1];
  const std::uint32_t length = BigEndian(cdb.subspan(6, 2));
  if (n == 0 || n > kMaxSpiCommandBytes || length != command.transferLength) return CheckCondition();
  if (in && length == 1) return CheckCondition();
  if (config_.chipInfo[kModeByte] != kModeSpiFlash) return CheckCondition();

  const auto commandBytes = cdb.subspan(kSpiCommandFirstByte, n);
  trace_.Record(SpiTraceEntry{{commandBytes.begin(), commandBytes.end()}, in, length});

  // One chip select: the command bytes, then the data phase.
  std::vector<std::uint8_t> mosi(commandBytes.begin(), commandBytes.end());
  if (in) {
    mosi.resize(n + length, kSpiDummyByte);
  } else {
    mosi.insert(mosi.end(), command.data, command.data + length);
  }
  std::vector<std::uint8_t> miso(in ? mosi.size() : 0, spi::kFloating);
  if (flash_) flash_->Transfer(mosi, miso);
  if (in) std::copy(miso.begin() + n, miso.end(), command.data);
  return Good(length);
}

ScsiResult Bridge::Sectors(const ScsiCommand& command) {
  const auto cdb = command.cdb;
  const bool in = cdb[0] == scsi::kReadImageSectors;
  if (cdb.size() != kSectorBlockLength || command.dataIn != in) return CheckCondition();
  const std::uint64_t start = std::uint64_t{BigEndian(cdb.subspan(2, 4))} * scsi::kSectorSize;
  const std::uint32_t count = BigEndian(cdb.subspan(7, 2));
  if (count != command.transferLength / scsi::kSectorSize) return CheckCondition();
  if (!flash_) return CheckCondition(sense::kNoMedium);
  if (flash_->Busy()) return CheckCondition(sense::kOperationInProgress);
  auto array = flash_->Array();
  if (start + command.transferLength > array.size()) return CheckCondition(sense::kOutOfRange);

  const std::uint32_t moved =
      config_.sectorTail == SectorTail::Moved ? command.transferLength : count * scsi::kSectorSize;
  const auto area = array.subspan(static_cast<std::size_t>(start), moved);
  if (in) {
    std::ranges::copy(area, command.data);
  } else {
    std::copy_n(command.data, moved, area.begin());
  }
  return Good(moved);
}

UsbResult Bridge::ControlTransfer(const UsbRequest& request, std::uint8_t* buffer, std::uint32_t bufferLength) {
  std::lock_guard lock(mutex_);
  if (!present_) return {false, 0, usb_error::kDeviceNotConnected};
  const auto fault = faults_.TakeUsb(request);
  UsbResult result;
  if (fault && fault->kind == UsbFaultKind::Fails) {
    result = {false, 0, fault->errorCode};
  } else {
    result = AnswerUsb(request, buffer, fault ? std::min(bufferLength, fault->length) : bufferLength);
  }
  trace_.Record(UsbTraceEntry{request, result.ok, result.transferred});
  return result;
}

UsbResult Bridge::AnswerUsb(const UsbRequest& request, std::uint8_t* buffer, std::uint32_t bufferLength) {
  std::span<const std::uint8_t> answer;
  if (request.requestType == kVendorRequestIn && request.request == kChipRequest) {
    if (request.value == kChipInfoValue && request.index == kChipInfoIndex) {
      answer = config_.usbChipInfo;
    } else if (request.value == 0 && request.index == 0) {
      answer = config_.usbStatus;
    }
  }
  if (answer.empty()) return {false, 0, usb_error::kGenFailure};
  const auto length = std::min<std::size_t>({answer.size(), request.length, bufferLength});
  std::copy_n(answer.begin(), length, buffer);
  return {true, static_cast<std::uint32_t>(length), 0};
}

}  // namespace vx::emu
