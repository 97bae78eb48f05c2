// A view that records what the updater shows, call by call, as lines such as
// "status Erasing chip...", "pos 15" or "box ERROR: Erase chip failed.".
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
  template <typename Read>
  auto Locked(Read read) const {
    std::unique_lock lock(mutex_);
    return read();
  }

 public:
  int answer = IDOK;  // to boxes that ask (MB_OKCANCEL)

  void SetStatus(std::u16string_view text) override { Log("status " + ToUtf8(text)); }
  void SetProgressRange(int high) override { Log("range " + std::to_string(high)); }
  void SetProgressPos(int pos) override { Log("pos " + std::to_string(pos)); }
  void ShowProgress(bool show) override { Log(show ? "bar shown" : "bar hidden"); }
  void EnableUpdate(bool enable) override { Log(enable ? "update enabled" : "update disabled"); }
  int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned style) override {
    Log("box " + ToUtf8(caption) + ": " + ToUtf8(text), style);
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
  void ScrollFileBoxToEnd() override { Log("scroll"); }
  void StartTimer(unsigned id, unsigned periodMs) override {
    Log("timer " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void StopTimer(unsigned id) override { Log("stop timer " + std::to_string(id)); }
  void Cancel() override { Log("cancel"); }
  void Close() override { Log("close"); }

  // The operator types into the file box.
  void TypeFilePath(std::u16string_view text) {
    std::unique_lock lock(mutex_);
    filePathBox_ = text;
  }
  std::string FilePathBox() const { return Locked([this] { return ToUtf8(filePathBox_); }); }
  std::string ChecksumBox() const { return Locked([this] { return ToUtf8(checksumBox_); }); }

  std::vector<std::string> Events() const { return Locked([this] { return events_; }); }
  std::vector<unsigned> BoxStyles() const { return Locked([this] { return styles_; }); }
  std::vector<std::string> Boxes() const { return Matching("box "); }
  std::string LastBox() const { return Last("box ", ""); }
  std::string Status() const { return Last("status ", "Ready"); }
  bool ProgressShown() const { return Latest("bar shown", "bar hidden"); }
  bool UpdateEnabled() const { return Latest("update enabled", "update disabled"); }
  bool Ended() const { return Latest("cancel", "") || Latest("close", ""); }
  // The timers started and not yet stopped, oldest first.
  std::vector<unsigned> Timers() const {
    std::vector<unsigned> running;
    for (const std::string& event : Events()) {
      if (event.starts_with("timer ")) running.push_back(static_cast<unsigned>(std::stoul(event.substr(6))));
      if (event.starts_with("stop timer ")) std::erase(running, static_cast<unsigned>(std::stoul(event.substr(11))));
    }
    return running;
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

 private:
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& event : Events()) {
      if (event.starts_with(prefix)) found.push_back(event.substr(prefix.size()));
    }
    return found;
  }
  std::string Last(const std::string& prefix, const std::string& none) const {
    const auto found = Matching(prefix);
    return found.empty() ? none : found.back();
  }
  // True when `yes` was logged after the last `no`.
  bool Latest(const std::string& yes, const std::string& no) const {
    const auto events = Events();
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (*it == yes) return true;
      if (*it == no) return false;
    }
    return false;
  }
  void Log(std::string event, unsigned style = 0) {
    std::unique_lock lock(mutex_);
    if (event.starts_with("box ")) styles_.push_back(style);
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
  std::vector<unsigned> styles_;
  std::u16string filePathBox_;
  std::u16string checksumBox_;
};

}  // namespace vx::testing
