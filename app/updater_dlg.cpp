#include "app/updater_dlg.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "app/device_text.h"
#include "base/text.h"
#include "base/ascii_text.h"
#include "discovery/device_table.h"
#include "flash/flash_operations.h"
#include "image/firmware_file.h"
#include "image/image_store.h"

namespace vx {

namespace {

constexpr unsigned kTimerPeriodMs = 500;

enum FileType : std::int32_t { kFileNone = -1, kFileBin = 0, kFileEep = 1 };

// The type of a firmware path from its last four characters, compared
// case-sensitively.
std::int32_t FileTypeOf(std::u16string_view path) {
  if (path.ends_with(u".bin")) return kFileBin;
  if (path.ends_with(u".eep")) return kFileEep;
  return kFileNone;
}

// The extension of the file name at the end of path, without the dot; empty
// when the name has none.
std::u16string_view ExtensionOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"/\\");
  const std::size_t dot = path.rfind(u'.');
  if (dot == std::u16string_view::npos || (separator != std::u16string_view::npos && dot < separator)) return {};
  return path.substr(dot + 1);
}

// True when the code area read from a bridge is blank: its first 512 bytes
// all 0xFF (erased) or all 0x00.
bool CodeAreaBlank(const std::uint8_t* codeArea) {
  const std::uint8_t* end = codeArea + ConfigImageSize;
  return std::all_of(codeArea, end, [](std::uint8_t b) { return b == 0xFF; }) ||
         std::all_of(codeArea, end, [](std::uint8_t b) { return b == 0x00; });
}

std::u16string CodeTooLongText(std::uint64_t codeLength) {
  return u"The code image is " + FromUtf8(std::to_string(codeLength)) +
         u" bytes long; the code area holds at most " + FromUtf8(std::to_string(CodeAreaSize)) + u" bytes.";
}

// Flash addresses have 24 bits: no ".eep" file can carry more than this.
constexpr std::uint64_t kFlashAddressSpace = 0x1000000;

std::u16string EepTooLongText(std::uint64_t fileLength) {
  return u"The EEP file is " + FromUtf8(std::to_string(fileLength)) +
         u" bytes long; its disk image would end beyond the largest flash (16 MiB).";
}

}  // namespace

CVX94C6FWUpdaterDlg::CVX94C6FWUpdaterDlg(UpdaterView& view) : view_(view) {}

CVX94C6FWUpdaterDlg::~CVX94C6FWUpdaterDlg() {
  WaitForUpdate();
  if (m_deviceTable != nullptr) ReleaseDevices(m_deviceTable, m_deviceCount);
}

bool CVX94C6FWUpdaterDlg::OnInitDialog(std::u16string_view programPath) {
  const std::size_t separator = programPath.find_last_of(u"/\\");
  const std::u16string exeDir(separator == std::u16string_view::npos ? std::u16string_view{}
                                                                     : programPath.substr(0, separator + 1));
  return StartUp(exeDir, exeDir + u"Config.ini");
}

bool CVX94C6FWUpdaterDlg::StartUp(std::u16string_view exeDir, std::u16string_view settingsPath) {
  m_exeDir = exeDir;
  if (!ReadConfig(settingsPath)) {
    view_.ShowMessageBox(u"Failed to get configuration information.", u"Error", BoxStyle::Ok);
    outcome_ = UpdaterOutcome::SettingsRefused;
    view_.Cancel();
    return false;
  }
  Images().ResetImages();
  configOrigin_.BuiltIn();
  if (!CheckDevice()) {
    view_.Cancel();
    return false;
  }
  LoadFirmwareFile();
  if (m_imageLoaded.load() == 1) {
    if (view_.ShowMessageBox(u"Please do not power down or un-plug the device when updating the FW.", u"Warning",
                             BoxStyle::OkCancel | BoxStyle::IconWarning) == BoxAnswer::Ok) {
      view_.StartTimer(IDT_AUTO_START, kTimerPeriodMs);
      view_.SetStatus(u"Updating now, please don't remove device!");
      return true;
    }
    outcome_ = UpdaterOutcome::Declined;
  } else {
    view_.ShowMessageBox(u"Load FW error!!!", u"Error", BoxStyle::IconError);
    view_.SetStatus(u"Load FW error!!!");
    outcome_ = UpdaterOutcome::FileNotLoaded;
  }
  view_.StartTimer(IDT_AUTO_CLOSE, kTimerPeriodMs);
  return true;
}

bool CVX94C6FWUpdaterDlg::CheckDevice() {
  if (m_deviceTable != nullptr || m_deviceCount != 0) ReleaseDevices(m_deviceTable, m_deviceCount);
  checkedDevice_.reset();
  const bool found = RefreshDevices(m_deviceTable, m_deviceCount);
  if (!found || m_deviceCount < 1 || m_deviceTable == nullptr) {
    ReleaseDevices(m_deviceTable, m_deviceCount);
    view_.ShowMessageBox(u"Can't find the device!\nPlease check the device.", u"ERROR", BoxStyle::IconError);
    outcome_ = UpdaterOutcome::NoDevice;
    return false;
  }
  const DeviceRecord device = m_deviceTable[0];
  checkedDevice_ = device;
  m_devVersion = VersionText(device.firmwareVersion, m_cmpLen);
  // A bridge without a disk path cannot be read; it passes the check as it is.
  const bool read = IsEmpty(device.diskPath) || ReadBackDevice(device);
  ReleaseDevices(m_deviceTable, m_deviceCount);
  if (!read) outcome_ = UpdaterOutcome::DeviceReadFailed;
  return read;
}

bool CVX94C6FWUpdaterDlg::ReadBackDevice(const DeviceRecord& device) {
  std::vector<std::uint8_t> content(kDeviceContentLength, 0xFF);
  if (!ReadFlash(device, kConfigAddress, content.data(), kDeviceContentLength)) {
    view_.ShowMessageBox(u"Read device content error", u"Read device fail", BoxStyle::IconInformation);
    return false;
  }
  ImageStore& images = Images();
  images.SetConfigImage(content.data());
  configOrigin_.ReadFrom(device);
  const std::uint8_t* code = content.data() + ConfigImageSize;
  if (CodeAreaBlank(code)) {
    images.ClearCodeImage();
  } else {
    images.SetCodeImage(code);
  }
  m_devChecksum = images.codeChecksum;
  m_checksumText = ChecksumText(images.codeChecksum);
  ShowValues();
  return true;
}

void CVX94C6FWUpdaterDlg::LoadFirmwareFile() {
  ReadBoxes();
  if (!m_filePath.empty()) m_fileType = FileTypeOf(m_filePath);
  std::u16string details;
  details.reserve(kDetailsChars);
  m_checksumText.clear();

  if (!AcceptFileSize()) return;
  ImageStore& images = Images();
  std::uint8_t savedConfig[ConfigImageSize];
  std::memcpy(savedConfig, images.configImage, ConfigImageSize);
  switch (m_fileType) {
    case kFileBin:
      if (!images.LoadBinFile(m_filePath, details)) {
        view_.ShowMessageBox(u"Load BIN file error!!!", u"Error", BoxStyle::IconError);
        view_.SetStatus(details);
        m_imageLoaded.exchange(0);
        return;
      }
      break;
    case kFileEep:
      // A path with ".txt" in it is refused without reading the file.
      if (m_filePath.find(u".txt") != std::u16string::npos || !images.LoadEepFile(m_filePath)) {
        images.SetConfigImage(savedConfig);
        view_.ShowMessageBox(u"Load EEP file error!!!", u"Error", BoxStyle::IconError);
        view_.SetStatus(details);
        m_imageLoaded.exchange(0);
        return;
      }
      break;
    default:
      view_.ShowMessageBox(u"File Format is Invalid!\nPlease Select BIN/EEP code for FW.", u"ERROR",
                           BoxStyle::IconError);
      m_imageLoaded.exchange(0);
      return;
  }
  if (!AcceptCodeLength(savedConfig, m_fileType == kFileEep)) return;
  if (m_fileType == kFileEep) configOrigin_.FromFile();
  m_imageLoaded.exchange(1);
  view_.ScrollFileBoxToEnd();
  view_.SetStatus(u"Main code loaded!");
}

bool CVX94C6FWUpdaterDlg::AcceptFileSize() {
  std::uint64_t size = 0;
  if (m_fileType == kFileNone || !FirmwareFileSize(m_filePath, size)) return true;  // the load reports it
  if (m_fileType == kFileBin && size > CodeAreaSize) {
    Images().ClearCodeImage();  // as a failed load of a ".bin" file leaves the store
    RefuseFile(CodeTooLongText(size));
    return false;
  }
  if (m_fileType == kFileEep && size > kFlashAddressSpace) {
    RefuseFile(EepTooLongText(size));
    return false;
  }
  return true;
}

void CVX94C6FWUpdaterDlg::RefuseFile(std::u16string_view text) {
  view_.ShowMessageBox(text, u"Error", BoxStyle::IconError);
  view_.SetStatus(text);
  m_imageLoaded.exchange(0);
}

bool CVX94C6FWUpdaterDlg::AcceptCodeLength(const std::uint8_t* savedConfig, bool fromEep) {
  ImageStore& images = Images();
  if (CodeFitsCodeArea(images)) return true;
  const std::u16string text = CodeTooLongText(images.codeLength);
  // Nothing of the refused file stays in the store.
  if (fromEep) {
    images.ReleaseImages();
  } else {
    images.ClearCodeImage();
  }
  images.SetConfigImage(savedConfig);
  RefuseFile(text);
  return false;
}

void CVX94C6FWUpdaterDlg::StartUpdate() {
  ReadBoxes();
  view_.EnableUpdate(false);
  if (UpdateRunning()) return;  // its end enables Update again
  if (m_imageLoaded.load() == 0) {
    // Without firmware an update would erase the bridge and write the
    // configuration image alone.
    view_.ShowMessageBox(u"No firmware is loaded.\nPlease load a BIN or EEP file before updating.", u"ERROR",
                         BoxStyle::IconError);
    outcome_ = UpdaterOutcome::FileNotLoaded;
    view_.EnableUpdate(true);
    return;
  }
  if (!PassGates()) return;
  LaunchUpdateThread();
}

bool CVX94C6FWUpdaterDlg::PassGates() {
  const char16_t* refusal = nullptr;
  if (m_cmpLen != 0 && !EqualsIgnoreCase(m_cmpStr, m_devVersion)) {
    refusal = u"FW version are not the same.";
  } else if (m_cfgChecksum != 0 && m_cfgChecksum != m_devChecksum) {
    refusal = u"FW checksum are not the same.";
  }
  if (refusal == nullptr) return true;
  view_.ShowMessageBox(refusal, u"Message", BoxStyle::Ok);
  outcome_ = UpdaterOutcome::GateRefused;
  view_.Close();
  return false;
}

void CVX94C6FWUpdaterDlg::LaunchUpdateThread() {
  try {
    UpdateImages images;
    if (!TakeUpdateImages(Images(), images)) {
      view_.ShowMessageBox(CodeTooLongText(Images().codeLength), u"ERROR", BoxStyle::IconError);
      outcome_ = UpdaterOutcome::FileNotLoaded;
      view_.EnableUpdate(true);
      return;
    }
    images.configOrigin = configOrigin_;
    if (worker_.joinable()) worker_.join();  // a finished update's thread
    updateImages_ = std::move(images);
    outcome_ = UpdaterOutcome::Updating;
    m_workerThread = true;
    worker_ = std::thread(&CVX94C6FWUpdaterDlg::UpdateThreadProc, this);
  } catch (const std::exception&) {  // no memory for the images, or no thread
    m_workerThread = false;
    outcome_ = UpdaterOutcome::UpdateFailed;
    view_.ShowMessageBox(u"The update could not be started.", u"ERROR", BoxStyle::IconError);
    view_.EnableUpdate(true);
  }
}

void CVX94C6FWUpdaterDlg::WaitForUpdate() {
  if (worker_.joinable()) worker_.join();
}

void CVX94C6FWUpdaterDlg::OnTimer(unsigned id) {
  if (id == IDT_AUTO_START) {
    view_.StopTimer(IDT_AUTO_START);
    StartUpdate();
  } else if (id == IDT_AUTO_CLOSE) {
    view_.StopTimer(IDT_AUTO_CLOSE);
    view_.Close();
  }
}

void CVX94C6FWUpdaterDlg::OnBrowse(std::u16string_view chosenPath) {
  m_filePath = chosenPath;
  ShowValues();
  const std::u16string_view extension = ExtensionOf(chosenPath);
  if (EqualsIgnoreCase(extension, u"bin") || EqualsIgnoreCase(extension, u"eep")) {
    LoadFirmwareFile();
  } else {
    view_.ShowMessageBox(u"File Format is Invalid!\nPlease Select BIN or EEP file.", u"ERROR", BoxStyle::IconError);
  }
}

void CVX94C6FWUpdaterDlg::OnFilePathChange() {
  m_checksumText.clear();
  ReadBoxes();
}

void CVX94C6FWUpdaterDlg::OnFilePathKillFocus() { LoadFirmwareFile(); }

void CVX94C6FWUpdaterDlg::OnUpdateClicked() { StartUpdate(); }

void CVX94C6FWUpdaterDlg::OnExitClicked() {
  if (!RefuseClose()) view_.Cancel();
}

bool CVX94C6FWUpdaterDlg::RefuseClose() {
  if (!UpdateRunning()) return false;
  // The dialog must outlive the update thread, and the bridge must not be
  // left half written.
  view_.ShowMessageBox(u"An update is running.\nPlease wait until it has finished.", u"Warning",
                       BoxStyle::Ok | BoxStyle::IconWarning);
  return true;
}

}  // namespace vx
