// A whole update of the emulated bridge driven from outside, every way to
// end the dialog refused while the update runs, and the end of the dialog's
// message loop under a running update.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "tests/gui/win32/dialog_fixture.h"
#include "tests/gui/win32/screenshot.h"

namespace vx::testing {
namespace {

std::wstring Hex4(std::uint16_t value) {
  wchar_t text[5];
  std::swprintf(text, 5, L"%04X", value);
  return text;
}

// With VX_DIALOG_SCREENSHOT set, a picture of the dialog goes there, the
// box beside it moved off the dialog.
void TakeScreenshot(HWND dialog, HWND box) {
  const wchar_t* path = _wgetenv(L"VX_DIALOG_SCREENSHOT");
  if (path == nullptr) return;
  RECT rect{};
  GetWindowRect(dialog, &rect);
  SetWindowPos(box, nullptr, rect.left, rect.bottom + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_TRUE(SaveWindowPicture(dialog, path));
}

TEST_F(DialogTest, UpdatesTheEmulatedBridge) {
  const HWND success = UpdateUntilSuccessBox();
  ASSERT_NE(success, nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog_));
  // The box comes while the bar still shows the end of the sequence.
  EXPECT_EQ(TextOf(Control(1007)), L"Success.");
  EXPECT_TRUE(IsWindowVisible(Control(1018)));
  EXPECT_EQ(SendMessageW(Control(1018), PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessageW(Control(1018), PBM_GETPOS, 0, 0), 100);
  EXPECT_FALSE(IsWindowEnabled(Control(1014)));
  TakeScreenshot(dialog_, success);

  ASSERT_TRUE(AnswerBox(success, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(1014)) && !IsWindowVisible(Control(1018)); }));
  EXPECT_EQ(TextOf(Control(1007)), L"Success.");
  EXPECT_EQ(TextOf(Control(1003)), (folder_ / L"new.bin").wstring());
  EXPECT_EQ(TextOf(Control(1006)), Hex4(Sum16(oldCode_))) << "the checksum of the code the bridge held";
  GUITHREADINFO thread{};
  thread.cbSize = sizeof(thread);
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, Control(2)) << "the focus stays on Exit";

  PostClick(dialog_, 2);
  EXPECT_EQ(program_->WaitForExit(), 0);
  EXPECT_TRUE(folder_.Read(L"bridge.state") == StateAfterUpdate());
}

TEST_F(DialogTest, RefusesToEndWhileTheUpdateRuns) {
  // The update thread is still running while it shows its last box.
  const HWND success = UpdateUntilSuccessBox();
  ASSERT_NE(success, nullptr);
  struct Attempt {
    const char* name;
    HWND window;
    UINT message;
    WPARAM wParam;
  };
  const Attempt attempts[] = {
      {"Exit", dialog_, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED)},
      {"Esc", Control(2), WM_KEYDOWN, VK_ESCAPE},
      {"Enter in the file box", Control(1003), WM_KEYDOWN, VK_RETURN},
      {"the close box", dialog_, WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const Attempt& attempt : attempts) {
    SCOPED_TRACE(attempt.name);
    const LPARAM lParam = attempt.message == WM_COMMAND ? reinterpret_cast<LPARAM>(Control(2)) : 0;
    PostMessageW(attempt.window, attempt.message, attempt.wParam, lParam);
    const HWND refusal = WaitForBox(L"Warning", dialog_);
    ASSERT_NE(refusal, nullptr);
    EXPECT_EQ(MessageBoxText(refusal), L"An update is running.\nPlease wait until it has finished.");
    ASSERT_TRUE(AnswerBox(refusal, IDOK));
    EXPECT_TRUE(IsWindowVisible(dialog_));
  }
  ASSERT_TRUE(AnswerBox(success, IDOK));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(1014)); }));
  EXPECT_TRUE(IsWindowVisible(dialog_));

  // Once the update has ended, Esc ends the dialog.
  PostMessageW(Control(2), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(program_->WaitForExit(), 0);
}

TEST_F(DialogTest, EndsCleanlyWhenToldToQuitDuringTheUpdate) {
  const HWND success = UpdateUntilSuccessBox();
  ASSERT_NE(success, nullptr);
  // The dialog's message loop ends, and its window with it, while the update
  // thread still waits in its last box.
  PostThreadMessageW(GetWindowThreadProcessId(dialog_, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
  ASSERT_TRUE(AnswerBox(success, IDOK));
  EXPECT_EQ(program_->WaitForExit(), 0);
  EXPECT_TRUE(folder_.Read(L"bridge.state") == StateAfterUpdate()) << "the update ended and its result was kept";
}

}  // namespace
}  // namespace vx::testing
