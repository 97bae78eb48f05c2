// The live progress line on a terminal: "[#####-----]  50%  status", fitted
// to the terminal's width.
#pragma once

#include <string>
#include <string_view>

namespace vx::cli {

// The line for position pos of 0..high with the status text, at most
// columns - 1 characters wide, so that it never reaches the last column and
// the terminal never wraps it. The bar's width depends on the columns alone:
// it leaves room for a status of 42 characters, between 10 and 40 cells, and
// goes when even 10 do not fit; a status longer than the room left is cut
// with "...".
// Control characters in the status show as spaces. columns <= 0 (width
// unknown) counts as 80.
std::string ProgressLine(int pos, int high, std::string_view status, int columns);

// How many characters the UTF-8 text shows as (one per code point).
int DisplayWidth(std::string_view text);

}  // namespace vx::cli
