#include "emulator/usb_scsi_target.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace vx::emu {

namespace {

constexpr std::uint32_t kDiskImageAddress = 0x2800;
constexpr std::uint8_t kFirstVendorOpcode = 0xC0;

namespace op {
constexpr std::uint8_t kTestUnitReady = 0x00;
constexpr std::uint8_t kRequestSense = 0x03;
constexpr std::uint8_t kRead6 = 0x08;
constexpr std::uint8_t kWrite6 = 0x0A;
constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint8_t kModeSense6 = 0x1A;
constexpr std::uint8_t kStartStopUnit = 0x1B;
constexpr std::uint8_t kPreventAllowRemoval = 0x1E;
constexpr std::uint8_t kReadCapacity10 = 0x25;
constexpr std::uint8_t kRead10 = 0x28;
constexpr std::uint8_t kWrite10 = 0x2A;
constexpr std::uint8_t kVerify10 = 0x2F;
constexpr std::uint8_t kSynchronizeCache10 = 0x35;
constexpr std::uint8_t kModeSense10 = 0x5A;
constexpr std::uint8_t kServiceActionIn16 = 0x9E;
constexpr std::uint8_t kRead12 = 0xA8;
constexpr std::uint8_t kWrite12 = 0xAA;
constexpr std::uint8_t kReadCapacity16 = 0x10;  // service action of 0x9E
}  // namespace op

// The command block lengths by group (bits 5-7 of the operation code).
std::size_t CdbLengthFor(std::uint8_t opcode) {
  switch (opcode >> 5) {
    case 0:
      return 6;
    case 1:
    case 2:
      return 10;
    case 4:
      return 16;
    case 5:
      return 12;
    default:
      return 0;
  }
}

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t byte : bytes) value = (value << 8) | byte;
  return value;
}

void PutBigEndian(std::span<std::uint8_t> out, std::uint64_t value) {
  for (std::size_t i = out.size(); i-- > 0; value >>= 8) out[i] = static_cast<std::uint8_t>(value);
}

// Writes ASCII text into a space-padded field.
void PutText(std::span<std::uint8_t> field, std::string_view text) {
  std::ranges::fill(field, ' ');
  std::copy_n(text.begin(), std::min(text.size(), field.size()), field.begin());
}

struct BlockRange {
  bool write;
  std::uint32_t lba;
  std::uint32_t count;
};

std::optional<BlockRange> BlockRangeOf(std::span<const std::uint8_t> cdb) {
  switch (cdb[0]) {
    case op::kRead6:
    case op::kWrite6: {
      const std::uint32_t count = cdb[4] == 0 ? 256 : cdb[4];
      return BlockRange{cdb[0] == op::kWrite6, BigEndian(cdb.subspan(1, 3)) & 0x1FFFFF, count};
    }
    case op::kRead10:
    case op::kWrite10:
      return BlockRange{cdb[0] == op::kWrite10, BigEndian(cdb.subspan(2, 4)), BigEndian(cdb.subspan(7, 2))};
    case op::kRead12:
    case op::kWrite12:
      return BlockRange{cdb[0] == op::kWrite12, BigEndian(cdb.subspan(2, 4)), BigEndian(cdb.subspan(6, 4))};
    default:
      return std::nullopt;
  }
}

}  // namespace

std::uint32_t UsbScsiTarget::DiskBlocks() const {
  const SpiFlash* flash = bridge_.Flash();
  if (flash == nullptr || flash->Array().size() <= kDiskImageAddress) return 0;
  return static_cast<std::uint32_t>((flash->Array().size() - kDiskImageAddress) / scsi::kSectorSize);
}

ScsiOutcome UsbScsiTarget::Execute(std::span<const std::uint8_t> cdb, bool dataIn, std::span<std::uint8_t> data) {
  transportFault_.reset();
  if (cdb.empty()) return Check(sense::kInvalidOpcode);
  if (cdb[0] >= kFirstVendorOpcode) return Vendor(cdb, dataIn, data);
  // A BIOS pads short command blocks; a block shorter than its group's is refused.
  if (cdb.size() < CdbLengthFor(cdb[0])) return Check(sense::kInvalidField);
  const ScsiOutcome outcome = Standard(cdb, data);
  if (cdb[0] != op::kRequestSense && outcome.kind == ScsiOutcome::Kind::Good) sense_ = {};
  return outcome;
}

ScsiOutcome UsbScsiTarget::Standard(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data) {
  switch (cdb[0]) {
    case op::kTestUnitReady:
    case op::kStartStopUnit:
    case op::kPreventAllowRemoval:
    case op::kVerify10:
    case op::kSynchronizeCache10:
      return {ScsiOutcome::Kind::Good};
    case op::kRequestSense:
      return RequestSense(cdb, data);
    case op::kInquiry:
      return Inquiry(cdb, data);
    case op::kReadCapacity10:
      return ReadCapacity(false, data);
    case op::kServiceActionIn16:
      if ((cdb[1] & 0x1F) != op::kReadCapacity16) break;
      return ReadCapacity(true, data.first(std::min<std::size_t>(data.size(), BigEndian(cdb.subspan(10, 4)))));
    case op::kModeSense6:
      return ModeSense(false, cdb, data);
    case op::kModeSense10:
      return ModeSense(true, cdb, data);
    default:
      if (BlockRangeOf(cdb)) return Blocks(cdb, data);
      break;
  }
  return Check(sense::kInvalidOpcode);
}

ScsiOutcome UsbScsiTarget::Vendor(std::span<const std::uint8_t> cdb, bool dataIn, std::span<std::uint8_t> data) {
  const std::uint64_t number = bridge_.CommandsReceived() + 1;
  const auto fault = faults_.Take(number, cdb);
  if (fault == UsbFaultAction::Fail) bridge_.Faults().OnCommand(number, Fault::Status(scsi::kCheckCondition));
  if (fault == UsbFaultAction::Vanish) bridge_.Faults().OnCommand(number, Fault::Vanish());
  if (fault == UsbFaultAction::Stall || fault == UsbFaultAction::Hang) transportFault_ = fault;
  const ScsiResult result = bridge_.ExecuteScsi({cdb, dataIn && !data.empty(), static_cast<std::uint32_t>(data.size()),
                                                 data.empty() ? nullptr : data.data()});
  if (!result.completed) return {ScsiOutcome::Kind::Failed};
  // The bridge's own reason when it gives one.
  if (result.status != scsi::kGood) return Check(result.sense.key != 0 ? result.sense : sense::kInvalidField);
  sense_ = {};
  return {ScsiOutcome::Kind::Good, dataIn ? result.transferred : 0};  // a short read leaves a residue
}

ScsiOutcome UsbScsiTarget::Inquiry(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data) {
  const std::uint32_t allocation = BigEndian(cdb.subspan(3, 2));
  if ((cdb[1] & 0x01) != 0) {
    // Vital product data: only the list of supported pages, which is itself.
    if (cdb[2] != 0x00) return Check(sense::kInvalidField);
    const std::array<std::uint8_t, 5> pages = {0x00, 0x00, 0x00, 0x01, 0x00};
    return Answer(pages, allocation, data);
  }
  std::array<std::uint8_t, 36> answer{};
  answer[0] = 0x00;  // direct-access block device
  answer[2] = 0x02;  // SCSI-2
  answer[3] = 0x02;  // response data format
  answer[4] = static_cast<std::uint8_t>(answer.size() - 5);
  PutText(std::span(answer).subspan(8, 8), "VX");
  PutText(std::span(answer).subspan(16, 16), "USB Cable Bridge");
  PutText(std::span(answer).subspan(32, 4), "0100");
  return Answer(answer, allocation, data);
}

ScsiOutcome UsbScsiTarget::RequestSense(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data) {
  std::array<std::uint8_t, 18> answer{};
  answer[0] = 0x70;  // current error, fixed format
  answer[2] = sense_.key;
  answer[7] = static_cast<std::uint8_t>(answer.size() - 8);
  answer[12] = sense_.asc;
  answer[13] = sense_.ascq;
  sense_ = {};
  return Answer(answer, cdb[4], data);
}

ScsiOutcome UsbScsiTarget::ReadCapacity(bool sixteen, std::span<std::uint8_t> data) {
  const std::uint32_t blocks = DiskBlocks();
  if (blocks == 0) return Check(sense::kNoMedium);
  std::vector<std::uint8_t> answer(sixteen ? 32 : 8, 0);
  const std::size_t lbaBytes = sixteen ? 8 : 4;
  PutBigEndian(std::span(answer).first(lbaBytes), blocks - 1);
  PutBigEndian(std::span(answer).subspan(lbaBytes, 4), scsi::kSectorSize);
  return Answer(answer, static_cast<std::uint32_t>(answer.size()), data);
}

ScsiOutcome UsbScsiTarget::ModeSense(bool ten, std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data) {
  // A header without block descriptors or pages: not write-protected.
  if (ten) {
    const std::array<std::uint8_t, 8> header = {0x00, 0x06, 0, 0, 0, 0, 0, 0};
    return Answer(header, BigEndian(cdb.subspan(7, 2)), data);
  }
  const std::array<std::uint8_t, 4> header = {0x03, 0, 0, 0};
  return Answer(header, cdb[4], data);
}

ScsiOutcome UsbScsiTarget::Blocks(std::span<const std::uint8_t> cdb, std::span<std::uint8_t> data) {
  const BlockRange range = *BlockRangeOf(cdb);
  if (std::uint64_t{range.lba} + range.count > DiskBlocks()) return Check(sense::kOutOfRange);
  SpiFlash& flash = *bridge_.Flash();
  if (flash.Busy()) return Check(sense::kOperationInProgress);
  const std::size_t length = std::min<std::size_t>(data.size(), std::size_t{range.count} * scsi::kSectorSize);
  const auto area = flash.Array().subspan(kDiskImageAddress + std::size_t{range.lba} * scsi::kSectorSize, length);
  if (range.write) {
    std::copy_n(data.begin(), length, area.begin());
    return {ScsiOutcome::Kind::Good};
  }
  std::ranges::copy(area, data.begin());
  return {ScsiOutcome::Kind::Good, static_cast<std::uint32_t>(length)};
}

ScsiOutcome UsbScsiTarget::Check(const Sense& sense) {
  sense_ = sense;
  return {ScsiOutcome::Kind::CheckCondition};
}

ScsiOutcome UsbScsiTarget::Answer(std::span<const std::uint8_t> answer, std::uint32_t allocation,
                                  std::span<std::uint8_t> data) {
  const std::size_t length = std::min({answer.size(), std::size_t{allocation}, data.size()});
  std::copy_n(answer.begin(), length, data.begin());
  return {ScsiOutcome::Kind::Good, static_cast<std::uint32_t>(length)};
}

}  // namespace vx::emu
