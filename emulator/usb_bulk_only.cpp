#include "emulator/usb_bulk_only.h"

#include <algorithm>

#include "emulator/usb_descriptors.h"

namespace vx::emu {

namespace {

constexpr std::size_t kWrapperLength = 31;
constexpr std::uint32_t kWrapperSignature = 0x43425355;  // "USBC"
constexpr std::uint32_t kStatusSignature = 0x53425355;   // "USBS"
constexpr std::uint8_t kDirectionIn = 0x80;
constexpr std::uint8_t kMaxCdbLength = 16;

constexpr std::uint8_t kPassed = 0;
constexpr std::uint8_t kFailed = 1;
constexpr std::uint8_t kPhaseError = 2;

std::uint32_t LittleEndian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

void AppendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i, value >>= 8) out.push_back(static_cast<std::uint8_t>(value));
}

BulkReply Stalled() { return {UsbStatus::Stall, {}}; }
BulkReply Unanswered() { return {UsbStatus::NoAnswer, {}}; }

}  // namespace

bool UsbBulkOnly::Halted(std::uint8_t endpoint) const {
  if (endpoint == usb::kBulkInEndpoint) return inHalted_;
  if (endpoint == usb::kBulkOutEndpoint) return outHalted_;
  return false;
}

void UsbBulkOnly::Halt(std::uint8_t endpoint) {
  if (endpoint == usb::kBulkInEndpoint) inHalted_ = true;
  if (endpoint == usb::kBulkOutEndpoint) outHalted_ = true;
}

void UsbBulkOnly::ClearHalt(std::uint8_t endpoint) {
  // After an invalid wrapper only a reset brings the endpoints back.
  if (needsReset_) return;
  if (endpoint == usb::kBulkInEndpoint) inHalted_ = false;
  if (endpoint == usb::kBulkOutEndpoint) outHalted_ = false;
}

void UsbBulkOnly::Reset() {
  phase_ = Phase::Command;
  inHalted_ = outHalted_ = needsReset_ = false;
  data_.clear();
  status_.clear();
}

BulkReply UsbBulkOnly::Out(std::span<const std::uint8_t> data) {
  if (phase_ == Phase::Hung) return Unanswered();
  if (outHalted_) return Stalled();
  if (phase_ == Phase::Command) return TakeCommand(data);
  if (phase_ != Phase::DataOut) return Stalled();
  const std::size_t take = std::min(data.size(), expected_ - data_.size());
  data_.insert(data_.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
  if (data_.size() == expected_) Run();
  return {UsbStatus::Ok, {}, static_cast<std::uint32_t>(data.size())};
}

BulkReply UsbBulkOnly::TakeCommand(std::span<const std::uint8_t> wrapper) {
  const std::uint8_t cdbLength = wrapper.size() == kWrapperLength ? wrapper[14] : 0;
  if (wrapper.size() != kWrapperLength || LittleEndian(wrapper.first(4)) != kWrapperSignature || wrapper[13] != 0 ||
      cdbLength == 0 || cdbLength > kMaxCdbLength) {
    inHalted_ = outHalted_ = needsReset_ = true;
    return Stalled();
  }
  tag_ = LittleEndian(wrapper.subspan(4, 4));
  expected_ = LittleEndian(wrapper.subspan(8, 4));
  dataIn_ = (wrapper[12] & kDirectionIn) != 0;
  cdb_.assign(wrapper.begin() + 15, wrapper.begin() + 15 + cdbLength);
  data_.clear();
  if (expected_ > 0 && !dataIn_) {
    phase_ = Phase::DataOut;
  } else {
    Run();
  }
  return {UsbStatus::Ok, {}, static_cast<std::uint32_t>(wrapper.size())};
}

void UsbBulkOnly::Run() {
  if (dataIn_) data_.assign(expected_, 0);
  const ScsiOutcome outcome = target_.Execute(cdb_, dataIn_, data_);
  const auto fault = target_.TransportFault();
  if (fault == UsbFaultAction::Hang) {
    phase_ = Phase::Hung;
    return;
  }
  const bool stall = fault == UsbFaultAction::Stall;
  std::uint8_t status = kPassed;
  std::uint32_t sent = dataIn_ ? outcome.dataLength : expected_;
  if (stall || outcome.kind != ScsiOutcome::Kind::Good) {
    status = outcome.kind == ScsiOutcome::Kind::Failed ? kPhaseError : kFailed;
    sent = 0;
  }
  PrepareStatus(status, expected_ - sent);
  if (stall) {
    inHalted_ = true;
    phase_ = Phase::Status;
  } else if (dataIn_ && expected_ > 0) {
    data_.resize(sent);
    sent_ = 0;
    phase_ = Phase::DataIn;
  } else {
    phase_ = Phase::Status;
  }
}

void UsbBulkOnly::PrepareStatus(std::uint8_t status, std::uint32_t residue) {
  status_.clear();
  AppendLittleEndian(status_, kStatusSignature);
  AppendLittleEndian(status_, tag_);
  AppendLittleEndian(status_, residue);
  status_.push_back(status);
}

BulkReply UsbBulkOnly::In(std::uint32_t length) {
  if (phase_ == Phase::Hung) return Unanswered();
  if (inHalted_) return Stalled();
  if (phase_ == Phase::DataIn) {
    if (data_.empty()) {
      // Nothing to send for this data phase: end it with a stall.
      inHalted_ = true;
      phase_ = Phase::Status;
      return Stalled();
    }
    const std::size_t chunk = std::min<std::size_t>(length, data_.size() - sent_);
    BulkReply reply{UsbStatus::Ok, {data_.begin() + static_cast<std::ptrdiff_t>(sent_),
                                    data_.begin() + static_cast<std::ptrdiff_t>(sent_ + chunk)}};
    sent_ += chunk;
    if (chunk < length || sent_ == expected_) phase_ = Phase::Status;
    return reply;
  }
  if (phase_ == Phase::Status) {
    phase_ = Phase::Command;
    return {UsbStatus::Ok, status_};
  }
  return Unanswered();
}

}  // namespace vx::emu
