// What the updater asks of the main dialog, carried out on the dialog's
// controls. Every call may come from the update thread: it then becomes one
// message sent to the dialog, and returns when the dialog's thread has done
// the work; message boxes are shown on the calling thread, owned by the
// dialog. Once the dialog window is gone the calls do nothing (message boxes
// are still shown, without an owner), so the update thread never waits for
// a dialog that has ended.
#pragma once

#include "app/updater_view.h"

namespace vx::gui {

class CVX94C6FWUpdaterDlg;

class Win32View final : public UpdaterView {
 public:
  explicit Win32View(CVX94C6FWUpdaterDlg& dialog) : dialog_(dialog) {}

  void SetStatus(std::u16string_view text) override;
  void SetProgressRange(int high) override;
  void SetProgressPos(int pos) override;
  void ShowProgress(bool show) override;
  void EnableUpdate(bool enable) override;
  BoxAnswer ShowMessageBox(std::u16string_view text, std::u16string_view caption, BoxStyle style) override;
  void ReadBoxes(std::u16string& filePath, std::u16string& checksumText) override;
  void ShowValues(std::u16string_view filePath, std::u16string_view checksumText) override;
  void ScrollFileBoxToEnd() override;
  void StartTimer(unsigned id, unsigned periodMs) override;
  void StopTimer(unsigned id) override;
  void Cancel() override;
  void Close() override;

 private:
  CVX94C6FWUpdaterDlg& dialog_;
};

}  // namespace vx::gui
