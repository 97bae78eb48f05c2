#include "cli/console_view.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "cli/progress_line.h"

namespace vx::cli {

namespace {

// A message text with its line breaks indented under the caption.
std::string Indented(std::u16string_view text) {
  std::string out;
  for (const char c : ToUtf8(text)) {
    out += c;
    if (c == '\n') out += "    ";
  }
  return out;
}

bool IsYes(std::string answer) {
  for (char& c : answer) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return answer == "y" || answer == "yes";
}

// The line that stays on screen for a finished step.
const char* StepLine(UpdateStep step, bool done) {
  switch (step) {
    case UpdateStep::LiftProtection:
      return done ? "Done: write protection lifted."
                  : "Not done: the flash chip did not take the command that lifts its write protection "
                    "(\"Not support.\"); the update goes on.";
    case UpdateStep::Erase:
      return "Done: chip erased.";
    case UpdateStep::Write:
      return "Done: configuration and code written.";
    case UpdateStep::Verify:
      return "Done: configuration and code verified.";
    case UpdateStep::WriteDiskImage:
      return "Done: disk image written.";
    case UpdateStep::VerifyDiskImage:
      return "Done: disk image verified.";
    case UpdateStep::RestoreProtection:
      return done ? "Done: write protection restored."
                  : "Not done: the flash chip did not take the command that restores its write protection "
                    "(\"Not support.\"); it stays unprotected.";
  }
  return "";
}

}  // namespace

ConsoleView::ConsoleView(std::FILE* out, std::FILE* in, ConsoleViewOptions options)
    : out_(out), in_(in), options_(std::move(options)) {}

void ConsoleView::SetStatus(std::u16string_view text) {
  std::lock_guard lock(mutex_);
  status_ = text;
  if (options_.liveProgress && progressShown_) {
    DrawBar();
  } else {
    ClearBar();
    std::fprintf(out_, "Status: %s\n", ToUtf8(text).c_str());
  }
  std::fflush(out_);
}

void ConsoleView::SetProgressRange(int high) {
  std::lock_guard lock(mutex_);
  progressHigh_ = std::max(high, 1);
}

void ConsoleView::SetProgressPos(int pos) {
  std::lock_guard lock(mutex_);
  progressPos_ = std::clamp(pos, 0, progressHigh_);
  if (options_.liveProgress) {
    if (progressShown_) DrawBar();
  } else {
    std::fprintf(out_, "Progress: %d/%d\n", progressPos_, progressHigh_);
  }
  std::fflush(out_);
}

void ConsoleView::ShowProgress(bool show) {
  std::lock_guard lock(mutex_);
  progressShown_ = show;
  if (!options_.liveProgress) return;
  if (show) {
    DrawBar();
  } else {
    ClearBar();
  }
  std::fflush(out_);
}

void ConsoleView::EnableUpdate(bool) {}

BoxAnswer ConsoleView::ShowMessageBox(std::u16string_view text, std::u16string_view caption, BoxStyle style) {
  std::lock_guard lock(mutex_);
  ClearBar();
  const bool question = OffersCancel(style);
  if (question && confirmationDetails_) std::fputs(confirmationDetails_().c_str(), out_);
  std::fprintf(out_, "%s: %s\n", ToUtf8(caption).c_str(), Indented(text).c_str());
  if (!question) lastMessage_ = ToUtf8(text);
  const BoxAnswer answer = question ? Answer() : BoxAnswer::Ok;
  RedrawBar();
  std::fflush(out_);
  return answer;
}

BoxAnswer ConsoleView::Answer() {
  if (options_.answerYes) {
    std::fprintf(out_, "    Confirmed by --yes.\n");
    return BoxAnswer::Ok;
  }
  if (!options_.askOnTerminal) {
    std::fprintf(out_, "    No terminal to confirm on: not confirmed (--yes confirms). Nothing was changed.\n");
    return BoxAnswer::Cancel;
  }
  std::fprintf(out_, "    Continue? [y/N] ");
  std::fflush(out_);
  char line[64];
  const bool answered = std::fgets(line, sizeof line, in_) != nullptr;
  if (!answered) std::fputc('\n', out_);
  std::string answer(answered ? line : "");
  while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back()))) answer.pop_back();
  if (IsYes(answer)) return BoxAnswer::Ok;
  std::fprintf(out_, "    Not confirmed: nothing was changed.\n");
  return BoxAnswer::Cancel;
}

void ConsoleView::ReadBoxes(std::u16string& filePath, std::u16string& checksumText) {
  std::lock_guard lock(mutex_);
  filePath = filePath_;
  checksumText = checksumText_;
}

void ConsoleView::ShowValues(std::u16string_view filePath, std::u16string_view checksumText) {
  std::lock_guard lock(mutex_);
  ClearBar();
  if (filePath != filePath_) std::fprintf(out_, "Firmware file: %s\n", ToNativePath(filePath).c_str());
  if (checksumText != checksumText_ && !checksumText.empty()) {
    std::fprintf(out_, "Checksum of the code on the bridge: %s\n", ToUtf8(checksumText).c_str());
  }
  filePath_ = filePath;
  checksumText_ = checksumText;
  RedrawBar();
  std::fflush(out_);
}

void ConsoleView::ScrollFileBoxToEnd() {}

void ConsoleView::StartTimer(unsigned id, unsigned) {
  std::lock_guard lock(mutex_);
  if (std::find(timers_.begin(), timers_.end(), id) == timers_.end()) timers_.push_back(id);
}

void ConsoleView::StopTimer(unsigned id) {
  std::lock_guard lock(mutex_);
  timers_.erase(std::remove(timers_.begin(), timers_.end(), id), timers_.end());
}

void ConsoleView::Cancel() {
  std::lock_guard lock(mutex_);
  ended_ = true;
}

void ConsoleView::Close() {
  std::lock_guard lock(mutex_);
  ended_ = true;
}

void ConsoleView::StepFinished(UpdateStep step, bool done) { PrintLine(StepLine(step, done)); }

void ConsoleView::SetConfirmationDetails(std::function<std::string()> details) {
  std::lock_guard lock(mutex_);
  confirmationDetails_ = std::move(details);
}

void ConsoleView::PrintLine(const std::string& line) {
  std::lock_guard lock(mutex_);
  ClearBar();
  std::fprintf(out_, "%s\n", line.c_str());
  RedrawBar();
  std::fflush(out_);
}

void ConsoleView::FollowResize() {
  std::lock_guard lock(mutex_);
  if (!barDrawn_ || Columns() == barColumns_) return;
  DrawBar();
  std::fflush(out_);
}

bool ConsoleView::NextTimer(unsigned& id) {
  std::lock_guard lock(mutex_);
  if (timers_.empty() || ended_) return false;
  id = timers_.front();
  return true;
}

bool ConsoleView::Ended() {
  std::lock_guard lock(mutex_);
  return ended_;
}

std::string ConsoleView::LastMessage() {
  std::lock_guard lock(mutex_);
  return lastMessage_;
}

int ConsoleView::Columns() const { return options_.columns ? options_.columns() : 0; }

void ConsoleView::DrawBar() {
  barColumns_ = Columns();
  const std::string line = ProgressLine(progressPos_, progressHigh_, ToUtf8(status_), barColumns_);
  std::fprintf(out_, "\r%s\033[K", line.c_str());
  barDrawn_ = true;
}

void ConsoleView::ClearBar() {
  if (!barDrawn_) return;
  std::fputs("\r\033[K", out_);
  barDrawn_ = false;
}

void ConsoleView::RedrawBar() {
  if (progressShown_ && options_.liveProgress) DrawBar();
}

}  // namespace vx::cli
