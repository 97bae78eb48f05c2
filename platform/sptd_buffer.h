// The buffer that carries one request through the Windows SCSI pass-through
// (IOCTL_SCSI_PASS_THROUGH_DIRECT): the platform's SCSI_PASS_THROUGH_DIRECT
// structure, then a 32-byte sense area at the next 8-byte boundary. The
// structure's layout depends on the pointer width of the process:
//
//   field               32-bit  64-bit
//   Length (u16)             0       0
//   ScsiStatus               2       2
//   PathId, TargetId, Lun  3-5     3-5
//   CdbLength                6       6
//   SenseInfoLength          7       7
//   DataIn                   8       8
//   DataTransferLength      12      12
//   TimeOutValue            16      16
//   DataBuffer (pointer)    20      24
//   SenseInfoOffset         24      32
//   Cdb[16]                 28      36
//   structure size          44      56
//   sense area              48      56
//   whole buffer            80      88
//
// Built by plain code so that both layouts are checked on any machine; all
// values are little-endian, as on every Windows target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/scsi_api.h"

namespace vx::platform {

inline constexpr std::uint32_t kIoctlScsiPassThroughDirect = 0x4D014;

enum class PointerWidth : std::uint8_t { Bits32, Bits64 };

// The whole buffer, zeroed and filled from the request: PathId 0, TargetId 1,
// Lun 0, sense length 32, DataIn 1 for in and 0 for out, the request's
// transfer length and time-out, DataBuffer = dataAddress (0 when the request
// has no data), SenseInfoOffset at the sense area, the command block padded
// with zeros to 16 bytes. The same buffer is handed to the control call as
// input and output.
std::vector<std::uint8_t> BuildSptdBuffer(const ScsiRequest& request, std::uint64_t dataAddress,
                                          PointerWidth width);

}  // namespace vx::platform
