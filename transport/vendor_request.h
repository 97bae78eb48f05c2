// One vendor SCSI command ready to send to a bridge's disk interface.
#pragma once

#include <cstdint>

namespace vx {

enum class DataDirection : std::uint8_t { Out, In };

struct VendorRequest {
  std::uint8_t cdb[16];         // command block; bytes beyond cdbLength are 0
  std::uint8_t cdbLength;       // 6, 10 or 16
  DataDirection direction;      // a command without data phase is Out with length 0
  std::uint32_t transferLength; // bytes of the data phase
  std::uint8_t* data;           // written (Out) or filled (In); null when transferLength is 0
};

}  // namespace vx
