#include "platform/linux/linux_scsi.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "base/text.h"
#include "platform/linux/sg_diagnosis.h"

namespace vx::platform::linux_backend {

namespace {

constexpr unsigned kSenseLength = 32;
// Set in driver_status when sense data accompanies a check condition; that
// is the device's answer, not a transport error.
constexpr unsigned kDriverSenseFlag = 0x08;

// File descriptor 0 is valid, and handle 0 means none: handles carry fd + 1.
DeviceHandle HandleOf(int fd) { return static_cast<DeviceHandle>(static_cast<std::uintptr_t>(fd) + 1); }
int FdOf(DeviceHandle device) { return static_cast<int>(static_cast<std::uintptr_t>(device) - 1); }

int TransferDirection(const ScsiRequest& request) {
  if (request.transferLength == 0) return SG_DXFER_NONE;
  return request.direction == ScsiDirection::In ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV;
}

}  // namespace

int SystemSgIo(int fd, sg_io_hdr_t& header) { return ::ioctl(fd, SG_IO, &header); }

DeviceHandle LinuxScsi::Open(std::u16string_view path) {
  if (path.empty()) return DeviceHandle::None;
  const std::string native = ToUtf8(path);
  const int fd = ::open(native.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) ReportOpenError(native, errno);
  return fd < 0 ? DeviceHandle::None : HandleOf(fd);
}

bool LinuxScsi::PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) {
  if (device == DeviceHandle::None) return false;
  unsigned char sense[kSenseLength] = {};
  sg_io_hdr_t header{};
  header.interface_id = 'S';
  header.dxfer_direction = TransferDirection(request);
  header.cmd_len = request.cdbLength;
  header.mx_sb_len = kSenseLength;
  header.dxfer_len = request.transferLength;
  header.dxferp = request.transferLength == 0 ? nullptr : request.data;
  header.cmdp = const_cast<unsigned char*>(request.cdb);
  header.sbp = sense;
  header.timeout = request.timeoutSeconds * 1000;  // milliseconds
  if (sgIo_(FdOf(device), header) < 0) {
    ReportSgError(request, errno);
    return false;
  }
  ReportSgOutcome(request, header);
  if (header.host_status != 0) return false;
  if ((header.driver_status & ~kDriverSenseFlag) != 0) return false;
  const auto residual = static_cast<std::uint32_t>(std::max(header.resid, 0));
  completion = {header.status, request.transferLength - std::min(residual, request.transferLength)};
  return true;
}

void LinuxScsi::Close(DeviceHandle device) {
  if (device != DeviceHandle::None) ::close(FdOf(device));
}

}  // namespace vx::platform::linux_backend
