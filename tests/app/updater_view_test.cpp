// The view seam's message box names keep the values of the platform's
// message box styles and answers, so that a Win32 front end passes them on
// unchanged.
#include "app/updater_view.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(UpdaterView, MessageBoxNamesKeepThePlatformValues) {
  const struct {
    BoxStyle style;
    unsigned value;
    bool offersCancel;
  } styles[] = {
      {BoxStyle::Ok, 0x0, false},
      {BoxStyle::OkCancel, 0x1, true},
      {BoxStyle::IconError, 0x10, false},
      {BoxStyle::IconWarning, 0x30, false},
      {BoxStyle::IconInformation, 0x40, false},
      {BoxStyle::OkCancel | BoxStyle::IconWarning, 0x31, true},
  };
  for (const auto& s : styles) {
    EXPECT_EQ(static_cast<unsigned>(s.style), s.value);
    EXPECT_EQ(OffersCancel(s.style), s.offersCancel) << s.value;
  }
  EXPECT_EQ(static_cast<int>(BoxAnswer::Ok), 1);
  EXPECT_EQ(static_cast<int>(BoxAnswer::Cancel), 2);
}

}  // namespace
}  // namespace vx
