// SCSI pass-through on Linux through the SG_IO ioctl, which the sg driver and
// the block-device drivers of disks (/dev/sgN, /dev/sdX) accept. The device
// path is the UTF-8 form of the record's disk path.
#pragma once

#include "platform/scsi_api.h"

namespace vx::platform::linux_backend {

class LinuxScsi final : public ScsiApi {
 public:
  // open(2) read-write and non-blocking, so that opening does not wait for
  // a medium.
  DeviceHandle Open(std::u16string_view path) override;
  // False when the ioctl fails or the host adapter or driver report an
  // error (a time-out among them); otherwise the SCSI status byte.
  bool PassThroughDirect(DeviceHandle device, const ScsiRequest& request, std::uint8_t& scsiStatus) override;
  void Close(DeviceHandle device) override;
};

}  // namespace vx::platform::linux_backend
