// The vendor command blocks a bridge accepts on its disk interface, byte for
// byte. Six- and sixteen-byte blocks carry the bridge maker's USB vendor ID
// 1B7E in bytes 4-5; the ten-byte disk-image blocks address whole 512-byte
// sectors.
#pragma once

#include <cstdint>

#include "transport/vendor_request.h"

namespace vx {

// An SPI command carries its opcode and at most seven address, dummy or
// register bytes inside the 16-byte block.
inline constexpr std::uint8_t kMaxSpiCommandBytes = 8;
inline constexpr std::uint32_t kImageSectorSize = 512;

// Out data is only read. A builder whose arguments cannot be encoded in its
// block (no command bytes, an SPI command of 0 or more than 8 bytes, an SPI
// data length beyond 16 bits, more than 65535 sectors) returns a request with
// cdbLength 0, which SendPassThrough refuses without sending anything.
VendorRequest BuildReadChipInfo(std::uint8_t* out16);
VendorRequest BuildSpiCommandOut(const std::uint8_t* commandBytes, std::uint8_t n, const std::uint8_t* data,
                                 std::uint32_t length);
VendorRequest BuildSpiCommandIn(const std::uint8_t* commandBytes, std::uint8_t n, std::uint8_t* scratch,
                                std::uint32_t transferLength);
VendorRequest BuildWriteImageSectors(std::uint32_t bytePosition, const std::uint8_t* data, std::uint32_t length);
VendorRequest BuildReadImageSectors(std::uint32_t bytePosition, std::uint8_t* out, std::uint32_t length);

}  // namespace vx
