// The updater's view on a console: message boxes print their caption and
// text, the confirmation is a yes/no question preceded by what is about to
// be updated, each finished step of an update prints a line of its own, and
// status and progress show as a live bar fitted to the terminal's width or
// as plain lines otherwise. Every call may come from the update thread;
// output is serialised.
#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "app/updater_view.h"

namespace vx::cli {

struct ConsoleViewOptions {
  bool answerYes = false;     // --yes: the confirmation is answered yes
  bool askOnTerminal = false; // standard input is a terminal: ask the operator
  bool liveProgress = false;  // the output is a terminal: redraw one bar line
  std::function<int()> columns;  // the terminal's width now; 0 or none: unknown
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
  void StepFinished(UpdateStep step, bool done) override;

  // Text printed before the confirmation is asked for; called then.
  void SetConfirmationDetails(std::function<std::string()> details);
  // Prints a line of the program's own between the updater's output.
  void PrintLine(const std::string& line);
  // Redraws the bar when the terminal's width has changed since it was drawn.
  void FollowResize();

  // The earliest started timer that is still running; false when none is.
  bool NextTimer(unsigned& id);
  // True once the dialog was cancelled or closed.
  bool Ended();
  // The text of the last message box that asked nothing.
  std::string LastMessage();

 private:
  BoxAnswer Answer();
  int Columns() const;
  void DrawBar();
  void ClearBar();
  void RedrawBar();

  std::FILE* out_;
  std::FILE* in_;
  ConsoleViewOptions options_;
  std::function<std::string()> confirmationDetails_;
  std::mutex mutex_;
  std::u16string status_;
  std::u16string filePath_;
  std::u16string checksumText_;
  std::string lastMessage_;
  int progressHigh_ = 100;
  int progressPos_ = 0;
  bool progressShown_ = false;
  bool barDrawn_ = false;
  int barColumns_ = 0;  // the width the bar was drawn for
  std::deque<unsigned> timers_;
  bool ended_ = false;
};

}  // namespace vx::cli
