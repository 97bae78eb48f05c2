// A view that records what the updater shows, call by call, for tests.
// Calls may come from the update thread; everything is guarded.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "app/updater_view.h"
#include "platform/text.h"

namespace vx::testing {

class RecordingView : public UpdaterView {
 public:
  // The answer to boxes that ask (MB_OKCANCEL).
  int answer = IDOK;

  void SetStatus(std::u16string_view text) override {
    std::unique_lock lock(mutex_);
    status_ = ToUtf8(text);
    Log(lock, "status " + status_);
  }
  void SetProgressRange(int high) override {
    std::unique_lock lock(mutex_);
    Log(lock, "range " + std::to_string(high));
  }
  void SetProgressPos(int pos) override {
    std::unique_lock lock(mutex_);
    pos_ = pos;
    Log(lock, "pos " + std::to_string(pos));
  }
  void ShowProgress(bool show) override {
    std::unique_lock lock(mutex_);
    progressShown_ = show;
    Log(lock, show ? "bar shown" : "bar hidden");
  }
  void EnableUpdate(bool enable) override {
    std::unique_lock lock(mutex_);
    updateEnabled_ = enable;
    Log(lock, enable ? "update enabled" : "update disabled");
  }
  int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned style) override {
    std::unique_lock lock(mutex_);
    boxes_.push_back(ToUtf8(caption) + ": " + ToUtf8(text));
    styles_.push_back(style);
    Log(lock, "box " + boxes_.back());
    return (style & MB_OKCANCEL) != 0 ? answer : IDOK;
  }
  void ReadBoxes(std::u16string& filePath, std::u16string& checksumText) override {
    std::unique_lock lock(mutex_);
    filePath = filePathBox_;
    checksumText = checksumBox_;
  }
  void ShowValues(std::u16string_view filePath, std::u16string_view checksumText) override {
    std::unique_lock lock(mutex_);
    filePathBox_ = filePath;
    checksumBox_ = checksumText;
  }
  void ScrollFileBoxToEnd() override {
    std::unique_lock lock(mutex_);
    Log(lock, "scroll");
  }
  void StartTimer(unsigned id, unsigned periodMs) override {
    std::unique_lock lock(mutex_);
    timers_.push_back(id);
    Log(lock, "timer " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void StopTimer(unsigned id) override {
    std::unique_lock lock(mutex_);
    std::erase(timers_, id);
    Log(lock, "stop timer " + std::to_string(id));
  }
  void Cancel() override {
    std::unique_lock lock(mutex_);
    ended_ = true;
    Log(lock, "cancel");
  }
  void Close() override {
    std::unique_lock lock(mutex_);
    ended_ = true;
    Log(lock, "close");
  }

  // The next thread that logs `event` stops inside that call until Resume():
  // a test acts on the dialog while the update thread stands at a known step.
  void PauseOn(std::string event) {
    std::unique_lock lock(mutex_);
    pauseOn_ = std::move(event);
  }
  void WaitUntilPaused() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return paused_; });
  }
  void Resume() {
    std::unique_lock lock(mutex_);
    paused_ = false;
    changed_.notify_all();
  }

  // The operator types into the file box.
  void TypeFilePath(std::u16string_view text) {
    std::unique_lock lock(mutex_);
    filePathBox_ = text;
  }

  std::vector<std::string> Events() const {
    std::unique_lock lock(mutex_);
    return events_;
  }
  // Events from index `from` on.
  std::vector<std::string> EventsFrom(std::size_t from) const {
    std::unique_lock lock(mutex_);
    return {events_.begin() + static_cast<std::ptrdiff_t>(std::min(from, events_.size())), events_.end()};
  }
  std::size_t EventCount() const {
    std::unique_lock lock(mutex_);
    return events_.size();
  }
  std::vector<std::string> Boxes() const {
    std::unique_lock lock(mutex_);
    return boxes_;
  }
  std::vector<unsigned> BoxStyles() const {
    std::unique_lock lock(mutex_);
    return styles_;
  }
  std::string LastBox() const {
    std::unique_lock lock(mutex_);
    return boxes_.empty() ? std::string() : boxes_.back();
  }
  std::string Status() const {
    std::unique_lock lock(mutex_);
    return status_;
  }
  int Pos() const {
    std::unique_lock lock(mutex_);
    return pos_;
  }
  bool ProgressShown() const {
    std::unique_lock lock(mutex_);
    return progressShown_;
  }
  bool UpdateEnabled() const {
    std::unique_lock lock(mutex_);
    return updateEnabled_;
  }
  bool Ended() const {
    std::unique_lock lock(mutex_);
    return ended_;
  }
  std::vector<unsigned> Timers() const {
    std::unique_lock lock(mutex_);
    return timers_;
  }
  std::string FilePathBox() const {
    std::unique_lock lock(mutex_);
    return ToUtf8(filePathBox_);
  }
  std::string ChecksumBox() const {
    std::unique_lock lock(mutex_);
    return ToUtf8(checksumBox_);
  }

 private:
  // Holds the logging thread in the paused event until Resume().
  void Log(std::unique_lock<std::mutex>& lock, std::string event) {
    const bool pause = !pauseOn_.empty() && event == pauseOn_;
    events_.push_back(std::move(event));
    if (!pause) return;
    pauseOn_.clear();
    paused_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !paused_; });
  }

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::string pauseOn_;
  bool paused_ = false;
  std::vector<std::string> events_;
  std::vector<std::string> boxes_;
  std::vector<unsigned> styles_;
  std::vector<unsigned> timers_;
  std::string status_ = "Ready";
  int pos_ = 0;
  bool progressShown_ = false;
  bool updateEnabled_ = false;  // disabled by the template
  bool ended_ = false;
  std::u16string filePathBox_;
  std::u16string checksumBox_;
};

}  // namespace vx::testing
