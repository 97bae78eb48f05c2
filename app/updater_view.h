// What the updater asks of its front end (a Win32 dialog, a console, a Qt
// window). Every operation may be called from the update thread; a front end
// carries it out synchronously on its own UI thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// The buttons and icon of a message box, with the platform's style values.
enum class BoxStyle : unsigned {
  Ok = 0x0,
  OkCancel = 0x1,
  IconError = 0x10,
  IconWarning = 0x30,
  IconInformation = 0x40,
};

constexpr BoxStyle operator|(BoxStyle a, BoxStyle b) {
  return static_cast<BoxStyle>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

// Whether the box offers Cancel besides OK, so that its answer means something.
constexpr bool OffersCancel(BoxStyle style) {
  constexpr unsigned kButtonsMask = 0xF;
  return (static_cast<unsigned>(style) & kButtonsMask) == static_cast<unsigned>(BoxStyle::OkCancel);
}

// The button that closed a message box, with the platform's values.
enum class BoxAnswer : int { Ok = 1, Cancel = 2 };

// The dialog's two one-shot timers.
inline constexpr unsigned IDT_AUTO_START = 8888;
inline constexpr unsigned IDT_AUTO_CLOSE = 9999;

// The steps of an update that a front end may list as they finish.
enum class UpdateStep {
  LiftProtection,     // the flash chip's write protection lifted
  Erase,              // the chip erased
  Write,              // the configuration and code programmed
  Verify,             // the configuration and code read back and compared
  WriteDiskImage,     // the disk image written
  VerifyDiskImage,    // the disk image read back and compared
  RestoreProtection,  // the write protection restored
};

class UpdaterView {
 public:
  virtual ~UpdaterView() = default;

  virtual void SetStatus(std::u16string_view text) = 0;
  virtual void SetProgressRange(int high) = 0;  // range 0..high
  virtual void SetProgressPos(int pos) = 0;
  virtual void ShowProgress(bool show) = 0;
  virtual void EnableUpdate(bool enable) = 0;
  // Modal message box; returns the button pressed.
  virtual BoxAnswer ShowMessageBox(std::u16string_view text, std::u16string_view caption, BoxStyle style) = 0;
  // Data exchange of the file box and the checksum box: ReadBoxes copies the
  // box texts out, ShowValues puts the given texts into the boxes.
  virtual void ReadBoxes(std::u16string& filePath, std::u16string& checksumText) = 0;
  virtual void ShowValues(std::u16string_view filePath, std::u16string_view checksumText) = 0;
  virtual void ScrollFileBoxToEnd() = 0;
  virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
  virtual void StopTimer(unsigned id) = 0;
  virtual void Cancel() = 0;  // ends the dialog before or after it is shown
  virtual void Close() = 0;   // ends the dialog as Cancel does
  // A step of the update has ended. done is false only for a protection
  // step the flash chip did not take ("Not support."), after which the
  // update goes on; a step that fails ends the update with its message box
  // instead. A window with a status line alone has nothing to add.
  virtual void StepFinished(UpdateStep /*step*/, bool /*done*/) {}
};

}  // namespace vx
