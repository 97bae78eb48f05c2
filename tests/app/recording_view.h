// A view that records what the updater shows, call by call, for tests.
// Calls may come from the update thread; everything is guarded.
#pragma once

#include <algorithm>
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
    std::lock_guard lock(mutex_);
    status_ = ToUtf8(text);
    Log("status " + status_);
  }
  void SetProgressRange(int high) override {
    std::lock_guard lock(mutex_);
    Log("range " + std::to_string(high));
  }
  void SetProgressPos(int pos) override {
    std::lock_guard lock(mutex_);
    pos_ = pos;
    Log("pos " + std::to_string(pos));
  }
  void ShowProgress(bool show) override {
    std::lock_guard lock(mutex_);
    progressShown_ = show;
    Log(show ? "bar shown" : "bar hidden");
  }
  void EnableUpdate(bool enable) override {
    std::lock_guard lock(mutex_);
    updateEnabled_ = enable;
    Log(enable ? "update enabled" : "update disabled");
  }
  int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned style) override {
    std::lock_guard lock(mutex_);
    boxes_.push_back(ToUtf8(caption) + ": " + ToUtf8(text));
    styles_.push_back(style);
    Log("box " + boxes_.back());
    return (style & MB_OKCANCEL) != 0 ? answer : IDOK;
  }
  void ReadBoxes(std::u16string& filePath, std::u16string& checksumText) override {
    std::lock_guard lock(mutex_);
    filePath = filePathBox_;
    checksumText = checksumBox_;
  }
  void ShowValues(std::u16string_view filePath, std::u16string_view checksumText) override {
    std::lock_guard lock(mutex_);
    filePathBox_ = filePath;
    checksumBox_ = checksumText;
  }
  void ScrollFileBoxToEnd() override {
    std::lock_guard lock(mutex_);
    Log("scroll");
  }
  void StartTimer(unsigned id, unsigned periodMs) override {
    std::lock_guard lock(mutex_);
    timers_.push_back(id);
    Log("timer " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void StopTimer(unsigned id) override {
    std::lock_guard lock(mutex_);
    std::erase(timers_, id);
    Log("stop timer " + std::to_string(id));
  }
  void Cancel() override {
    std::lock_guard lock(mutex_);
    ended_ = true;
    Log("cancel");
  }
  void Close() override {
    std::lock_guard lock(mutex_);
    ended_ = true;
    Log("close");
  }

  // The operator types into the file box.
  void TypeFilePath(std::u16string_view text) {
    std::lock_guard lock(mutex_);
    filePathBox_ = text;
  }

  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  // Events from index `from` on.
  std::vector<std::string> EventsFrom(std::size_t from) const {
    std::lock_guard lock(mutex_);
    return {events_.begin() + static_cast<std::ptrdiff_t>(std::min(from, events_.size())), events_.end()};
  }
  std::size_t EventCount() const {
    std::lock_guard lock(mutex_);
    return events_.size();
  }
  std::vector<std::string> Boxes() const {
    std::lock_guard lock(mutex_);
    return boxes_;
  }
  std::vector<unsigned> BoxStyles() const {
    std::lock_guard lock(mutex_);
    return styles_;
  }
  std::string LastBox() const {
    std::lock_guard lock(mutex_);
    return boxes_.empty() ? std::string() : boxes_.back();
  }
  std::string Status() const {
    std::lock_guard lock(mutex_);
    return status_;
  }
  int Pos() const {
    std::lock_guard lock(mutex_);
    return pos_;
  }
  bool ProgressShown() const {
    std::lock_guard lock(mutex_);
    return progressShown_;
  }
  bool UpdateEnabled() const {
    std::lock_guard lock(mutex_);
    return updateEnabled_;
  }
  bool Ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
  }
  std::vector<unsigned> Timers() const {
    std::lock_guard lock(mutex_);
    return timers_;
  }
  std::string FilePathBox() const {
    std::lock_guard lock(mutex_);
    return ToUtf8(filePathBox_);
  }
  std::string ChecksumBox() const {
    std::lock_guard lock(mutex_);
    return ToUtf8(checksumBox_);
  }

 private:
  void Log(std::string event) { events_.push_back(std::move(event)); }

  mutable std::mutex mutex_;
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
