#include "cli/progress_line.h"

#include <algorithm>
#include <cstdio>

namespace vx::cli {

namespace {

constexpr int kDefaultColumns = 80;
constexpr int kMinBar = 10;
constexpr int kMaxBar = 40;
constexpr int kPercentWidth = 4;  // " 50%"
// Room kept for the status beside the bar, so that the bar keeps its width
// while the status changes (the updater's longest status has 41 characters).
constexpr int kStatusRoom = 42;

bool StartsCodePoint(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

std::string Printable(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return out;
}

// The first `count` code points of text.
std::string Head(const std::string& text, int count) {
  std::size_t end = 0;
  for (int seen = 0; end < text.size(); ++end) {
    if (StartsCodePoint(text[end]) && seen++ == count) break;
  }
  return text.substr(0, end);
}

// text cut to width characters, ending in "..." when cut.
std::string Fit(const std::string& text, int width) {
  if (DisplayWidth(text) <= width) return text;
  if (width <= 3) return Head(text, std::max(width, 0));
  return Head(text, width - 3) + "...";
}

}  // namespace

int DisplayWidth(std::string_view text) {
  return static_cast<int>(std::count_if(text.begin(), text.end(), StartsCodePoint));
}

std::string ProgressLine(int pos, int high, std::string_view status, int columns) {
  const int room = (columns > 0 ? columns : kDefaultColumns) - 1;
  high = std::max(high, 1);
  pos = std::clamp(pos, 0, high);
  char percent[16];
  std::snprintf(percent, sizeof percent, "%3d%%", pos * 100 / high);
  const std::string text = Printable(status);

  std::string line;
  // "[" bar "] " percent "  " status
  const int besideBar = 3 + kPercentWidth + 2;
  if (room >= besideBar + kMinBar) {
    const int bar = std::clamp(room - besideBar - kStatusRoom, kMinBar, kMaxBar);
    const int filled = pos * bar / high;
    line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(bar - filled), '-') + "] ";
  }
  line += percent;
  const int left = room - DisplayWidth(line) - 2;
  if (!text.empty() && left > 0) line += "  " + Fit(text, left);
  return Fit(line, room);
}

}  // namespace vx::cli
