// The live progress line: its layout at common widths, and that no status
// and no width ever makes it reach the terminal's last column.
#include <gtest/gtest.h>

#include "cli/progress_line.h"

namespace vx::cli {
namespace {

TEST(ProgressLineTest, LayoutFollowsTheWidth) {
  const std::string updating = "Updating now, please don't remove device!";
  const struct {
    int pos, high, columns;
    std::string status, line;
  } cases[] = {
      {100, 200, 80, "Erasing chip...", "[##############--------------]  50%  Erasing chip..."},
      {200, 200, 80, updating, "[############################] 100%  " + updating},
      {0, 100, 0, "Success.", "[----------------------------]   0%  Success."},  // width unknown: 80
      {30, 100, 120, "Success.", "[############----------------------------]  30%  Success."},
      {50, 100, 60, updating, "[#####-----]  50%  Updating now, please don't remove dev..."},
      {50, 100, 20, updating, "[#####-----]  50%"},
      {50, 100, 10, "Erasing chip...", " 50%  Era"},
      {50, 100, 3, "Erasing chip...", " 5"},
      {7, 100, 80, "a\r\nb\tc", "[#---------------------------]   7%  a  b c"},
      {250, 200, 80, "x", "[############################] 100%  x"},  // beyond the range
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressLine(c.pos, c.high, c.status, c.columns), c.line) << c.columns;
}

TEST(ProgressLineTest, NeverReachesTheLastColumn) {
  const std::string statuses[] = {"", "Success.", std::string(300, 'x'), "Größe äöü " + std::string(100, 'z')};
  for (int columns = 1; columns <= 200; ++columns) {
    for (const std::string& status : statuses) {
      const std::string line = ProgressLine(123, 200, status, columns);
      EXPECT_LE(DisplayWidth(line), columns - 1) << columns << " " << line;
      EXPECT_EQ(line.find('\n'), std::string::npos);
    }
  }
  EXPECT_EQ(DisplayWidth("Größe"), 5);
  EXPECT_EQ(ProgressLine(0, 100, "Größe ist ärgerlich lang", 20), "[----------]   0%");
}

}  // namespace
}  // namespace vx::cli
