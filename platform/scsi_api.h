// SCSI pass-through to a device path, shaped after CreateFileW +
// DeviceIoControl(IOCTL_SCSI_PASS_THROUGH_DIRECT) + CloseHandle.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/handles.h"

namespace vx::platform {

enum class ScsiDirection : std::uint8_t { Out, In };

struct ScsiRequest {
  const std::uint8_t* cdb;       // cdbLength bytes
  std::uint8_t cdbLength;        // 6, 10 or 16
  ScsiDirection direction;       // a request without data is Out with length 0
  std::uint32_t transferLength;  // bytes of the data phase
  std::uint8_t* data;            // source (Out) or destination (In); null when length is 0
  std::uint32_t timeoutSeconds;
};

// What the device reported for a request that was carried out: the
// SCSI_PASS_THROUGH_DIRECT fields ScsiStatus and DataTransferLength after the
// call.
struct ScsiCompletion {
  std::uint8_t status = 0xFF;     // the SCSI status byte
  std::uint32_t transferred = 0;  // data bytes that actually moved
};

class ScsiApi {
 public:
  virtual ~ScsiApi() = default;
  // Opens the path for reading and writing, shared for reading and writing;
  // DeviceHandle::None when it cannot be opened.
  virtual DeviceHandle Open(std::u16string_view path) = 0;
  // Executes one request; false when the request could not be carried out
  // at all. completion receives what the device reported otherwise.
  virtual bool PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) = 0;
  virtual void Close(DeviceHandle device) = 0;
};

}  // namespace vx::platform
