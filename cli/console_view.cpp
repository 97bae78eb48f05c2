#include "cli/console_view.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"

namespace vx::cli {

namespace {

constexpr int kBarWidth = 40;

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

}  // namespace

ConsoleView::ConsoleView(std::FILE* out, std::FILE* in, ConsoleViewOptions options)
    : out_(out), in_(in), options_(options) {}

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
  std::fprintf(out_, "%s: %s\n", ToUtf8(caption).c_str(), Indented(text).c_str());
  const BoxAnswer answer = OffersCancel(style) ? Answer() : BoxAnswer::Ok;
  if (progressShown_ && options_.liveProgress) DrawBar();
  std::fflush(out_);
  return answer;
}

BoxAnswer ConsoleView::Answer() {
  if (options_.answerYes) {
    std::fprintf(out_, "    Confirmed by --yes.\n");
    return BoxAnswer::Ok;
  }
  if (!options_.askOnTerminal) {
    std::fprintf(out_, "    No terminal to confirm on: not confirmed (--yes confirms).\n");
    return BoxAnswer::Cancel;
  }
  std::fprintf(out_, "    Continue? [y/N] ");
  std::fflush(out_);
  char line[64];
  if (std::fgets(line, sizeof line, in_) == nullptr) {
    std::fputc('\n', out_);
    return BoxAnswer::Cancel;
  }
  std::string answer(line);
  while (!answer.empty() && std::isspace(static_cast<unsigned char>(answer.back()))) answer.pop_back();
  return IsYes(answer) ? BoxAnswer::Ok : BoxAnswer::Cancel;
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

void ConsoleView::DrawBar() {
  const int filled = progressPos_ * kBarWidth / progressHigh_;
  const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                          std::string(static_cast<std::size_t>(kBarWidth - filled), '-');
  std::fprintf(out_, "\r[%s] %3d%%  %s\033[K", bar.c_str(), progressPos_ * 100 / progressHigh_,
               ToUtf8(status_).c_str());
  barDrawn_ = true;
}

void ConsoleView::ClearBar() {
  if (!barDrawn_) return;
  std::fputs("\r\033[K", out_);
  barDrawn_ = false;
}

}  // namespace vx::cli
