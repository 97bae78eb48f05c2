// A view that records what the updater shows, call by call, as lines such as
// "status Erasing chip...", "pos 15" or "box ERROR: Erase chip failed.".
// Calls may come from the update thread; the log is guarded.
#pragma once

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/updater_view.h"
#include "platform/text.h"

namespace vx::testing {

class RecordingView : public UpdaterView {
 public:
  int answer = IDOK;  // to boxes that ask (MB_OKCANCEL)
  unsigned lastStyle = 0;
  std::u16string filePathBox;
  std::u16string checksumBox;
  // Called after each event is logged, on the thread that logged it: a test
  // acts on the dialog while the update thread stands at a known step.
  std::function<void(const std::string&)> onEvent;

  void SetStatus(std::u16string_view text) override { Log("status " + ToUtf8(text)); }
  void SetProgressRange(int high) override { Log("range " + std::to_string(high)); }
  void SetProgressPos(int pos) override { Log("pos " + std::to_string(pos)); }
  void ShowProgress(bool show) override { Log(show ? "bar shown" : "bar hidden"); }
  void EnableUpdate(bool enable) override { Log(enable ? "update enabled" : "update disabled"); }
  int MessageBox(std::u16string_view text, std::u16string_view caption, unsigned style) override {
    lastStyle = style;
    Log("box " + ToUtf8(caption) + ": " + ToUtf8(text));
    return (style & MB_OKCANCEL) != 0 ? answer : IDOK;
  }
  void ReadBoxes(std::u16string& filePath, std::u16string& checksumText) override {
    filePath = filePathBox;
    checksumText = checksumBox;
  }
  void ShowValues(std::u16string_view filePath, std::u16string_view checksumText) override {
    filePathBox = filePath;
    checksumBox = checksumText;
  }
  void ScrollFileBoxToEnd() override { Log("scroll"); }
  void StartTimer(unsigned id, unsigned ms) override { Log("timer " + std::to_string(id) + " " + std::to_string(ms)); }
  void StopTimer(unsigned id) override { Log("stop timer " + std::to_string(id)); }
  void Cancel() override { Log("cancel"); }
  void Close() override { Log("close"); }

  std::vector<std::string> Events() const {
    std::unique_lock lock(mutex_);
    return events_;
  }
  // The texts of the events that start with prefix, oldest first.
  std::vector<std::string> With(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& event : Events()) {
      if (event.starts_with(prefix)) found.push_back(event.substr(prefix.size()));
    }
    return found;
  }
  std::string Last(const std::string& prefix, const std::string& none = "") const {
    const auto found = With(prefix);
    return found.empty() ? none : found.back();
  }
  // The events logged after the first `after` (all of them when there is
  // none), joined by " | ".
  std::string Joined(const std::string& after = "") const {
    const auto events = Events();
    auto it = std::find(events.begin(), events.end(), after);
    std::string joined;
    for (it = it == events.end() ? events.begin() : it + 1; it != events.end(); ++it) {
      joined += (joined.empty() ? "" : " | ") + *it;
    }
    return joined;
  }
  std::vector<std::string> Boxes() const { return With("box "); }
  std::string LastBox() const { return Last("box "); }
  bool Ended() const { return !With("cancel").empty() || !With("close").empty(); }

 private:
  void Log(std::string event) {
    {
      std::unique_lock lock(mutex_);
      events_.push_back(event);
    }
    if (onEvent) onEvent(event);
  }

  mutable std::mutex mutex_;
  std::vector<std::string> events_;
};

}  // namespace vx::testing
