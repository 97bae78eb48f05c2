// A view for fuzzing the updater's dialog: it answers every question with
// OK, fires nothing by itself, and keeps the timers started and the last
// message box.
#pragma once

#include <string>
#include <vector>

#include "app/updater_view.h"

namespace vx::fuzz {

class QuietView : public UpdaterView {
 public:
  std::u16string lastBox;
  std::vector<unsigned> timers;
  std::u16string filePath;
  std::u16string checksumText;

  void SetStatus(std::u16string_view) override {}
  void SetProgressRange(int) override {}
  void SetProgressPos(int) override {}
  void ShowProgress(bool) override {}
  void EnableUpdate(bool) override {}
  BoxAnswer ShowMessageBox(std::u16string_view text, std::u16string_view, BoxStyle) override {
    lastBox = text;
    return BoxAnswer::Ok;
  }
  void ReadBoxes(std::u16string& path, std::u16string& checksum) override {
    path = filePath;
    checksum = checksumText;
  }
  void ShowValues(std::u16string_view path, std::u16string_view checksum) override {
    filePath = path;
    checksumText = checksum;
  }
  void ScrollFileBoxToEnd() override {}
  void StartTimer(unsigned id, unsigned) override { timers.push_back(id); }
  void StopTimer(unsigned) override {}
  void Cancel() override {}
  void Close() override {}
};

}  // namespace vx::fuzz
