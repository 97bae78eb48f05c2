#include "transport/vendor_builders.h"

#include <cstring>

namespace vx {

namespace {

constexpr std::uint8_t kOpReadChipInfo = 0xD0;
constexpr std::uint8_t kOpReadImageSectors = 0xE5;
constexpr std::uint8_t kOpWriteImageSectors = 0xE6;
constexpr std::uint8_t kOpSpiCommandOut = 0xE7;
constexpr std::uint8_t kOpSpiCommandIn = 0xE8;

constexpr std::uint8_t kVendorIdHigh = 0x1B;
constexpr std::uint8_t kVendorIdLow = 0x7E;

constexpr std::uint32_t kMaxField16 = 0xFFFF;
constexpr std::uint32_t kChipInfoLength = 16;

std::uint8_t Byte(std::uint32_t value, int shift) { return static_cast<std::uint8_t>(value >> shift); }

// A zeroed request; a command without data phase goes out with no buffer.
VendorRequest Request(std::uint8_t opcode, std::uint8_t cdbLength, DataDirection direction, std::uint8_t* data,
                      std::uint32_t length) {
  VendorRequest request{};
  request.cdb[0] = opcode;
  request.cdbLength = cdbLength;
  request.direction = direction;
  request.transferLength = length;
  request.data = length == 0 ? nullptr : data;
  return request;
}

VendorRequest SpiCommand(std::uint8_t opcode, DataDirection direction, const std::uint8_t* commandBytes,
                         std::uint8_t n, std::uint8_t* data, std::uint32_t length) {
  if (commandBytes == nullptr || n == 0 || n > kMaxSpiCommandBytes || length > kMaxField16) return VendorRequest{};
  VendorRequest request = Request(opcode, 16, direction, data, length);
  request.cdb[1] = n;
  request.cdb[4] = kVendorIdHigh;
  request.cdb[5] = kVendorIdLow;
  request.cdb[6] = Byte(length, 8);
  request.cdb[7] = Byte(length, 0);
  std::memcpy(&request.cdb[8], commandBytes, n);
  return request;
}

VendorRequest ImageSectors(std::uint8_t opcode, DataDirection direction, std::uint32_t bytePosition,
                           std::uint8_t* data, std::uint32_t length) {
  const std::uint32_t block = bytePosition / kImageSectorSize;
  const std::uint32_t count = length / kImageSectorSize;  // rounded down; the full length still moves
  if (count > kMaxField16) return VendorRequest{};
  VendorRequest request = Request(opcode, 10, direction, data, length);
  request.cdb[2] = Byte(block, 24);
  request.cdb[3] = Byte(block, 16);
  request.cdb[4] = Byte(block, 8);
  request.cdb[5] = Byte(block, 0);
  request.cdb[7] = Byte(count, 8);
  request.cdb[8] = Byte(count, 0);
  return request;
}

}  // namespace

VendorRequest BuildReadChipInfo(std::uint8_t* out16) {
  VendorRequest request = Request(kOpReadChipInfo, 6, DataDirection::In, out16, kChipInfoLength);
  request.cdb[4] = kVendorIdHigh;
  request.cdb[5] = kVendorIdLow;
  return request;
}

VendorRequest BuildSpiCommandOut(const std::uint8_t* commandBytes, std::uint8_t n, const std::uint8_t* data,
                                 std::uint32_t length) {
  // Out data is only read by the sender.
  return SpiCommand(kOpSpiCommandOut, DataDirection::Out, commandBytes, n, const_cast<std::uint8_t*>(data), length);
}

VendorRequest BuildSpiCommandIn(const std::uint8_t* commandBytes, std::uint8_t n, std::uint8_t* scratch,
                                std::uint32_t transferLength) {
  return SpiCommand(kOpSpiCommandIn, DataDirection::In, commandBytes, n, scratch, transferLength);
}

VendorRequest BuildWriteImageSectors(std::uint32_t bytePosition, const std::uint8_t* data, std::uint32_t length) {
  return ImageSectors(kOpWriteImageSectors, DataDirection::Out, bytePosition, const_cast<std::uint8_t*>(data),
                      length);
}

VendorRequest BuildReadImageSectors(std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t length) {
  return ImageSectors(kOpReadImageSectors, DataDirection::In, bytePosition, out, length);
}

}  // namespace vx
