// The updater's view on a console: message boxes print their caption and
// text, the confirmation is a yes/no question, and status and progress show
// as a live bar on a terminal or as plain lines otherwise. Every call may
// come from the update thread; output is serialised.
#pragma once

#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

#include "app/updater_view.h"

namespace vx::cli {

struct ConsoleViewOptions {
  bool answerYes = false;     // --yes: the confirmation is answered yes
  bool askOnTerminal = false; // standard input is a terminal: ask the operator
  bool liveProgress = false;  // standard output is a terminal: redraw one bar line
};

class ConsoleView : public UpdaterView {
 public:
  ConsoleView(std::FILE* out, std::FILE* in, ConsoleViewOptions options);

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

  // The earliest started timer that is still running; false when none is.
  bool NextTimer(unsigned& id);
  // True once the dialog was cancelled or closed.
  bool Ended();

 private:
  BoxAnswer Answer();
  void DrawBar();
  void ClearBar();

  std::FILE* out_;
  std::FILE* in_;
  ConsoleViewOptions options_;
  std::mutex mutex_;
  std::u16string status_;
  std::u16string filePath_;
  std::u16string checksumText_;
  int progressHigh_ = 100;
  int progressPos_ = 0;
  bool progressShown_ = false;
  bool barDrawn_ = false;
  std::deque<unsigned> timers_;
  bool ended_ = false;
};

}  // namespace vx::cli
