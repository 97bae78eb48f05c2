#include "platform/win32/win32_scsi.h"

#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <algorithm>
#include <cstddef>

#include "platform/sptd_buffer.h"
#include "platform/win32/win32_aligned_buffer.h"
#include "platform/win32/win32_device_open.h"
#include "platform/win32/win32_text.h"

namespace vx::platform::win32_backend {

namespace {

constexpr PointerWidth kThisProcess = sizeof(void*) == 8 ? PointerWidth::Bits64 : PointerWidth::Bits32;

// The buffer builder lays the structure out by hand; the system's own
// declaration must agree with it.
static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == kIoctlScsiPassThroughDirect);
static_assert(sizeof(void*) != 8 || (sizeof(SCSI_PASS_THROUGH_DIRECT) == 56 &&
                                     offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 24 &&
                                     offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == 32 &&
                                     offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 36));
static_assert(sizeof(void*) != 4 || (sizeof(SCSI_PASS_THROUGH_DIRECT) == 44 &&
                                     offsetof(SCSI_PASS_THROUGH_DIRECT, DataBuffer) == 20 &&
                                     offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset) == 24 &&
                                     offsetof(SCSI_PASS_THROUGH_DIRECT, Cdb) == 28));
static_assert(SCSI_IOCTL_DATA_OUT == 0 && SCSI_IOCTL_DATA_IN == 1);
static_assert(offsetof(SCSI_PASS_THROUGH_DIRECT, ScsiStatus) == 2 && offsetof(SCSI_PASS_THROUGH_DIRECT, TargetId) == 4 &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, CdbLength) == 6 &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, SenseInfoLength) == 7 &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, DataIn) == 8 &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, DataTransferLength) == 12 &&
              offsetof(SCSI_PASS_THROUGH_DIRECT, TimeOutValue) == 16);

constexpr std::uint8_t kMaxCdbLength = 16;

}  // namespace

DeviceHandle Win32Scsi::Open(std::u16string_view path) { return OpenDevicePath(path, kReadWrite, kShareReadWrite, 0); }

bool Win32Scsi::PassThroughDirect(DeviceHandle device, const ScsiRequest& request, ScsiCompletion& completion) {
  // A malformed block or a data phase without a buffer is refused before
  // anything reaches the device.
  if (device == DeviceHandle::None || request.cdb == nullptr || request.cdbLength == 0 ||
      request.cdbLength > kMaxCdbLength || (request.transferLength != 0 && request.data == nullptr))
    return false;
  AlignedBuffer staging(request.transferLength);
  if (request.direction == ScsiDirection::Out) std::copy_n(request.data, request.transferLength, staging.data());
  ScsiRequest staged = request;
  staged.data = staging.data();
  std::vector<std::uint8_t> buffer =
      BuildSptdBuffer(staged, reinterpret_cast<std::uintptr_t>(staged.data), kThisProcess);
  DWORD returned = 0;
  const auto size = static_cast<DWORD>(buffer.size());
  if (!control_(ToNative(device), IOCTL_SCSI_PASS_THROUGH_DIRECT, buffer.data(), size, buffer.data(), size, &returned))
    return false;
  const auto* done = reinterpret_cast<const SCSI_PASS_THROUGH_DIRECT*>(buffer.data());
  completion = {done->ScsiStatus, done->DataTransferLength};
  if (request.direction == ScsiDirection::In)
    std::copy_n(staging.data(), std::min<std::uint32_t>(done->DataTransferLength, request.transferLength), request.data);
  return true;
}

void Win32Scsi::Close(DeviceHandle device) { CloseDevice(device); }

}  // namespace vx::platform::win32_backend
