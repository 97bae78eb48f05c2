// A view that records what the updater shows, call by call, as lines such as
// "status Erasing chip...", "pos 15", "step erase" or
// "box ERROR: Erase chip failed. [10]" (a box's style other than OK alone
// follows in hex). Calls come from the update thread too: tests read the log
// once that thread has ended.
#pragma once

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/updater_view.h"
#include "base/text.h"

namespace vx::testing {

class RecordingView : public UpdaterView {
 public:
  BoxAnswer answer = BoxAnswer::Ok;  // to boxes that ask (OK and Cancel)
  std::u16string filePathBox;
  std::u16string checksumBox;
  std::vector<std::string> events;
  // Called after each event is logged, on the thread that logged it: a test
  // acts on the dialog while the update thread stands at a known step.
  std::function<void(const std::string&)> onEvent;

  void SetStatus(std::u16string_view text) override { Log("status " + ToUtf8(text)); }
  void SetProgressRange(int high) override { Log("range " + std::to_string(high)); }
  void SetProgressPos(int pos) override { Log("pos " + std::to_string(pos)); }
  void ShowProgress(bool show) override { Log(show ? "bar shown" : "bar hidden"); }
  void EnableUpdate(bool enable) override { Log(enable ? "update enabled" : "update disabled"); }
  BoxAnswer ShowMessageBox(std::u16string_view text, std::u16string_view caption, BoxStyle style) override {
    char hex[16];
    std::snprintf(hex, sizeof hex, " [%X]", static_cast<unsigned>(style));
    Log("box " + ToUtf8(caption) + ": " + ToUtf8(text) + (style != BoxStyle::Ok ? hex : ""));
    return OffersCancel(style) ? answer : BoxAnswer::Ok;
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
  void StepFinished(UpdateStep step, bool done) override {
    static const char* const kNames[] = {"lift protection",   "erase",
                                         "write",             "verify",
                                         "write disk image",  "verify disk image",
                                         "restore protection"};
    Log(std::string("step ") + kNames[static_cast<int>(step)] + (done ? "" : " not done"));
  }

  // The text of the last event that starts with prefix, after the prefix.
  std::string Last(const std::string& prefix) const {
    const auto it = std::find_if(events.rbegin(), events.rend(), [&](auto& e) { return e.starts_with(prefix); });
    return it == events.rend() ? "" : it->substr(prefix.size());
  }
  // The events logged after the first `after` (all of them when there is
  // none), joined by " | ".
  std::string Joined(const std::string& after = "") const {
    auto it = std::find(events.begin(), events.end(), after);
    std::string joined;
    for (it = it == events.end() ? events.begin() : it + 1; it != events.end(); ++it) {
      joined += (joined.empty() ? "" : " | ") + *it;
    }
    return joined;
  }
  std::string LastBox() const { return Last("box "); }
  bool Ended() const { return std::ranges::count(events, "cancel") + std::ranges::count(events, "close") > 0; }

 private:
  void Log(const std::string& event) {
    events.push_back(event);
    if (onEvent) onEvent(event);
  }
};

}  // namespace vx::testing
