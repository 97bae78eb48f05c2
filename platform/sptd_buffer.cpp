#include "platform/sptd_buffer.h"

#include <algorithm>

namespace vx::platform {

namespace {

constexpr std::size_t kTargetIdOffset = 4;
constexpr std::size_t kCdbLengthOffset = 6;
constexpr std::size_t kSenseLengthOffset = 7;
constexpr std::size_t kDataInOffset = 8;
constexpr std::size_t kTransferLengthOffset = 12;
constexpr std::size_t kTimeoutOffset = 16;
constexpr std::size_t kCdbCapacity = 16;
constexpr std::size_t kSenseLength = 32;

constexpr std::uint8_t kTargetId = 1;
constexpr std::uint8_t kDataOut = 0;  // SCSI_IOCTL_DATA_OUT, also used when there is no data
constexpr std::uint8_t kDataIn = 1;   // SCSI_IOCTL_DATA_IN

struct Layout {
  std::size_t pointerSize;
  std::size_t dataBufferOffset;
  std::size_t senseOffsetField;
  std::size_t cdbOffset;
  std::size_t structureSize;
};

constexpr Layout kLayout32{4, 20, 24, 28, 44};
constexpr Layout kLayout64{8, 24, 32, 36, 56};

constexpr std::size_t SenseAreaOffset(const Layout& layout) { return (layout.structureSize + 7) / 8 * 8; }

void PutLittleEndian(std::vector<std::uint8_t>& buffer, std::size_t offset, std::uint64_t value, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> BuildSptdBuffer(const ScsiRequest& request, std::uint64_t dataAddress,
                                          PointerWidth width) {
  const Layout& layout = width == PointerWidth::Bits32 ? kLayout32 : kLayout64;
  const std::size_t senseOffset = SenseAreaOffset(layout);
  std::vector<std::uint8_t> buffer(senseOffset + kSenseLength, 0);

  PutLittleEndian(buffer, 0, layout.structureSize, 2);
  buffer[kTargetIdOffset] = kTargetId;  // PathId and Lun stay 0
  buffer[kCdbLengthOffset] = request.cdbLength;
  buffer[kSenseLengthOffset] = kSenseLength;
  buffer[kDataInOffset] = request.direction == ScsiDirection::In ? kDataIn : kDataOut;
  PutLittleEndian(buffer, kTransferLengthOffset, request.transferLength, 4);
  PutLittleEndian(buffer, kTimeoutOffset, request.timeoutSeconds, 4);
  PutLittleEndian(buffer, layout.dataBufferOffset, request.data == nullptr ? 0 : dataAddress, layout.pointerSize);
  PutLittleEndian(buffer, layout.senseOffsetField, senseOffset, 4);
  std::copy_n(request.cdb, std::min<std::size_t>(request.cdbLength, kCdbCapacity), buffer.begin() + layout.cdbOffset);
  return buffer;
}

}  // namespace vx::platform
