// The update thread: erase the first bridge's flash, program and verify the
// configuration and code, write and verify the disk image, restore the write
// protection, and report every step through the view.
#include <cstring>
#include <memory>
#include <new>

#include "app/update_error.h"
#include "app/updater_dlg.h"
#include "discovery/device_table.h"
#include "flash/disk_image_operations.h"
#include "flash/flash_capacity.h"
#include "flash/flash_operations.h"

namespace vx {

namespace {

// A read-back block of length bytes in the flash's erased state; null when
// memory is short.
std::unique_ptr<std::uint8_t[]> ErasedBlock(std::size_t length) {
  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[length]);
  if (block) std::memset(block.get(), 0xFF, length);
  return block;
}

}  // namespace

void CVX94C6FWUpdaterDlg::UpdateThreadProc(CVX94C6FWUpdaterDlg* dialog) { dialog->RunUpdate(); }

void CVX94C6FWUpdaterDlg::RunUpdate() { EndUpdate(RunUpdateSteps()); }

int CVX94C6FWUpdaterDlg::RunUpdateSteps() {
  const bool withDiskImage = !updateImages_.diskImage.empty();
  const int progressHigh = withDiskImage ? 200 : 100;
  view_.SetProgressRange(progressHigh);
  view_.SetProgressPos(0);
  view_.ShowProgress(true);

  const bool found = RefreshDevices(m_deviceTable, m_deviceCount);
  view_.SetProgressPos(10);
  if (!found || m_deviceCount < 1 || m_deviceTable == nullptr) return kUpdateNoDevice;
  const DeviceRecord device = m_deviceTable[0];
  if (const int code = RefuseBeforeErasing(device)) return code;

  if (device.flashChip != nullptr) SetProtection(device, false);
  view_.SetStatus(u"Erasing chip...");
  view_.SetProgressPos(15);
  if (!EraseChip(device)) return kUpdateEraseFailed;
  view_.SetProgressPos(30);
  view_.StepFinished(UpdateStep::Erase, true);

  if (const int code = WriteAndVerify(device)) return code;
  if (withDiskImage) {
    if (const int code = WriteAndVerifyDiskImage(device)) return code;
  }
  if (device.flashChip != nullptr) {
    view_.SetProgressPos(progressHigh - 5);
    SetProtection(device, true);
  }
  view_.SetProgressPos(progressHigh);
  return kUpdateOk;
}

int CVX94C6FWUpdaterDlg::RefuseBeforeErasing(const DeviceRecord& device) {
  // A bridge whose flash cannot be written fails at the erase, before
  // anything is sent.
  if (IsEmpty(device.diskPath) || device.flashChip == nullptr) return kUpdateOk;
  if (!updateImages_.configOrigin.MayGoTo(device)) return kUpdateForeignConfig;
  const auto diskLength = static_cast<std::uint32_t>(updateImages_.diskImage.size());
  if (diskLength != 0 && !FlashRangeExists(device, kDiskImageAddress, diskLength)) return kUpdateDiskImageTooLarge;
  return kUpdateOk;
}

int CVX94C6FWUpdaterDlg::WriteAndVerify(const DeviceRecord& device) {
  const std::vector<std::uint8_t>& block = updateImages_.writeBlock;
  const auto length = static_cast<std::uint32_t>(block.size());
  const std::unique_ptr<std::uint8_t[]> readBack = ErasedBlock(length);
  if (!readBack || !ProgramFlash(device, kConfigAddress, block.data(), length)) return kUpdateWriteFailed;
  view_.SetProgressPos(60);
  view_.StepFinished(UpdateStep::Write, true);
  view_.SetStatus(u"Verifying write data...");
  if (!ReadFlash(device, kConfigAddress, readBack.get(), length)) return kUpdateReadFailed;
  view_.SetProgressPos(90);
  if (std::memcmp(block.data(), readBack.get(), length) != 0) return kUpdateVerifyFailed;
  view_.StepFinished(UpdateStep::Verify, true);
  return kUpdateOk;
}

int CVX94C6FWUpdaterDlg::WriteAndVerifyDiskImage(const DeviceRecord& device) {
  const std::vector<std::uint8_t>& image = updateImages_.diskImage;
  const auto length = static_cast<std::uint32_t>(image.size());
  view_.SetProgressPos(100);
  const std::unique_ptr<std::uint8_t[]> readBack = ErasedBlock(length);
  if (!readBack) return kUpdateDiskWriteFailed;

  view_.SetStatus(u"Writing disk image file...");
  // The flash commands are the second way in when the bridge refuses the
  // disk-image commands.
  if (!WriteDiskImage(device, kDiskImageAddress, image.data(), length) &&
      !ProgramFlash(device, kDiskImageAddress, image.data(), length)) {
    return kUpdateDiskWriteFailed;
  }
  view_.SetProgressPos(150);
  view_.StepFinished(UpdateStep::WriteDiskImage, true);
  if (!ReadDiskImage(device, kDiskImageAddress, readBack.get(), length) &&
      !ReadFlash(device, kDiskImageAddress, readBack.get(), length)) {
    return kUpdateDiskReadFailed;
  }
  view_.SetProgressPos(180);
  if (std::memcmp(image.data(), readBack.get(), length) != 0) return kUpdateDiskVerifyFailed;
  view_.StepFinished(UpdateStep::VerifyDiskImage, true);
  return kUpdateOk;
}

void CVX94C6FWUpdaterDlg::SetProtection(const DeviceRecord& device, bool protect) {
  const bool done = SetWriteProtection(device, protect);
  view_.SetStatus(done ? u"Success." : u"Not support.");
  view_.StepFinished(protect ? UpdateStep::RestoreProtection : UpdateStep::LiftProtection, done);
}

void CVX94C6FWUpdaterDlg::EndUpdate(int code) {
  if (code == kUpdateOk) {
    ReleaseDevices(m_deviceTable, m_deviceCount);
    view_.SetStatus(u"Success.");
    view_.ShowMessageBox(u"Success!!", u"Message", BoxStyle::Ok);
  } else {
    view_.ShowMessageBox(UpdateErrorMessage(code), u"ERROR", BoxStyle::Ok | BoxStyle::IconError);
    ReleaseDevices(m_deviceTable, m_deviceCount);
  }
  view_.ShowProgress(false);
  view_.EnableUpdate(true);
  updateImages_ = {};
  outcome_ = code == kUpdateOk ? UpdaterOutcome::Updated : UpdaterOutcome::UpdateFailed;
  m_workerThread = false;  // last act: a new update may start from here on
}

}  // namespace vx
