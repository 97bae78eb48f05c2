// A terminal screen of a fixed width for tests, fed with what a program wrote
// to its pseudo-terminal: text wraps at the last column as terminals do, and
// "\r", "\n" and "ESC [ K" (erase to the end of the line) act; other escape
// sequences are skipped. One cell per byte: the program's output is ASCII.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx::testing {

class TerminalScreen {
 public:
  explicit TerminalScreen(int columns) : columns_(columns) {}

  void Feed(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const char c = bytes[i];
      if (c == '\033' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
        i += 2;
        while (i < bytes.size() && !(bytes[i] >= 0x40 && bytes[i] <= 0x7E)) ++i;
        if (i < bytes.size() && bytes[i] == 'K' && rows_[row_].size() > col_) rows_[row_].resize(col_);
      } else if (c == '\r') {
        col_ = 0;
        wrapNext_ = false;
      } else if (c == '\n') {
        NextRow();
      } else {
        Put(c);
      }
    }
  }

  // The rows from the first to the cursor's, without trailing blanks.
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (std::string row : rows_) {
      row.erase(row.find_last_not_of(' ') + 1);
      rows.push_back(row);
    }
    return rows;
  }

 private:
  void NextRow() {
    ++row_;
    if (row_ == rows_.size()) rows_.emplace_back();
    wrapNext_ = false;
  }
  void Put(char c) {
    if (wrapNext_) {
      NextRow();
      col_ = 0;
    }
    std::string& row = rows_[row_];
    if (row.size() <= col_) row.resize(col_ + 1, ' ');
    row[col_] = c;
    // The last column holds the cursor until the next character wraps.
    if (col_ + 1 == static_cast<std::size_t>(columns_)) {
      wrapNext_ = true;
    } else {
      ++col_;
    }
  }

  int columns_;
  std::vector<std::string> rows_{""};
  std::size_t row_ = 0;
  std::size_t col_ = 0;
  bool wrapNext_ = false;
};

}  // namespace vx::testing
