// SCSI pass-through on Linux through the SG_IO ioctl, which the sg driver and
// the block-device drivers of disks (/dev/sgN, /dev/sdX) accept. The device
// path is the UTF-8 form of the record's disk path.
#pragma once

#include <scsi/sg.h>

#include <functional>

#include "platform/scsi_api.h"

namespace vx::platform::linux_backend {

// The SG_IO request on an open descriptor, as ioctl(2) makes it: 0 when the
// request was carried out (the header's status fields then tell how), -1
// when the kernel refused it.
using SgIoCall = std::function<int(int fd, sg_io_hdr_t& header)>;

int SystemSgIo(int fd, sg_io_hdr_t& header);

class LinuxScsi final : public ScsiApi {
 public:
  // Tests hand in a stand-in for the kernel's part.
  explicit LinuxScsi(SgIoCall sgIo = SystemSgIo) : sgIo_(std::move(sgIo)) {}

  // open(2) read-write and non-blocking, so that opening does not wait for
  // a medium.
  DeviceHandle Open(std::u16string_view path) override;
  // False when the ioctl fails or the host adapter or driver report an
  // error (a time-out among them); otherwise the SCSI status byte and the
  // bytes moved (the transfer length less the residual count).
  bool PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) override;
  void Close(DeviceHandle device) override;

 private:
  SgIoCall sgIo_;
};

}  // namespace vx::platform::linux_backend
