// SCSI pass-through on Windows: CreateFileW on the disk interface path,
// DeviceIoControl(IOCTL_SCSI_PASS_THROUGH_DIRECT) with the buffer from
// BuildSptdBuffer, CloseHandle.
#pragma once

#include "platform/scsi_api.h"

namespace vx::platform::win32_backend {

class Win32Scsi final : public ScsiApi {
 public:
  DeviceHandle Open(std::u16string_view path) override;
  // False when the control call fails (the request never completed, a
  // time-out among them); otherwise the SCSI status byte and the data
  // length that moved, as the call left them in the structure.
  bool PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) override;
  void Close(DeviceHandle device) override;
};

}  // namespace vx::platform::win32_backend
