// SCSI pass-through on Windows: CreateFileW on the disk interface path,
// DeviceIoControl(IOCTL_SCSI_PASS_THROUGH_DIRECT) with the buffer from
// BuildSptdBuffer, CloseHandle.
#pragma once

#include "platform/scsi_api.h"
#include "platform/win32/win32_device_control.h"

namespace vx::platform::win32_backend {

class Win32Scsi final : public ScsiApi {
 public:
  // Tests hand in a stand-in for the storage driver.
  explicit Win32Scsi(DeviceControl control = SystemDeviceControl) : control_(std::move(control)) {}

  DeviceHandle Open(std::u16string_view path) override;
  // False when the control call fails (the request never completed, a
  // time-out among them); otherwise the SCSI status byte and the data
  // length that moved, as the call left them in the structure. The data
  // phase passes through a page-aligned buffer of the backend's own, so
  // that the caller's buffer may lie anywhere.
  bool PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) override;
  void Close(DeviceHandle device) override;

 private:
  DeviceControl control_;
};

}  // namespace vx::platform::win32_backend
