// The main dialog as its template lays it out, seen from outside while the
// first message box of start-up is open (settings refused: nothing has
// changed the controls yet).
#include <windows.h>

#include <commctrl.h>

#include "tests/gui/win32/dialog_fixture.h"
#include "tests/gui/win32/dialog_units.h"

namespace vx::testing {
namespace {

struct ExpectedControl {
  int id;
  const wchar_t* className;
  const wchar_t* text;
  int x, y, width, height;  // dialog units
  DWORD style;              // beyond WS_CHILD
};

// WS_BORDER of a control may show as WS_EX_CLIENTEDGE once the dialog made it.
constexpr DWORD kComparedStyles = WS_VISIBLE | WS_DISABLED | WS_TABSTOP | WS_GROUP | WS_BORDER | 0xFFFF;

const ExpectedControl kControls[] = {
    {2, L"Button", L"Exit", 238, 49, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {1001, L"Static", L"Firmware File:", 17, 16, 49, 8, WS_VISIBLE | WS_GROUP | SS_LEFT},
    {1003, L"Edit", L"", 71, 14, 143, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
    {1005, L"Static", L"Checksum:", 30, 36, 36, 8, WS_VISIBLE | WS_GROUP | SS_LEFT},
    {1006, L"Edit", L"", 71, 34, 60, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL},
    {1007, L"Static", L"Ready", 0, 73, 299, 11, WS_VISIBLE | SS_LEFT},
    {1014, L"Button", L"Update", 238, 14, 50, 14, WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON},
    {1018, L"msctls_progress32", L"", 17, 53, 196, 10, WS_BORDER},
    {1019, L"Button", L"...", 215, 14, 13, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
};

DWORD ComparedStyle(HWND control) {
  DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
  if (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) style |= WS_BORDER;
  return style & kComparedStyles;
}

TEST_F(DialogTest, MainDialogAsTheTemplateLaysItOut) {
  WriteSettings("new.bin", 4);  // more bridges than allowed: the settings are refused
  Start();
  const HWND box = WaitForBox(L"Error");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"Failed to get configuration information.");
  const HWND dialog = GetWindow(box, GW_OWNER);
  ASSERT_NE(dialog, nullptr);

  EXPECT_EQ(TextOf(dialog), L"USB-USB cable_FW updater_v0.0.0.4");
  const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
  const DWORD required = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
  EXPECT_EQ(style & required, required) << std::hex << style;
  EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_FALSE(IsWindowVisible(dialog)) << "start-up cancels the dialog before it is shown";

  const DialogUnits units(L"MS Shell Dlg", 10);
  RECT client{};
  GetClientRect(dialog, &client);
  const RECT size = units.ToPixels(0, 0, 299, 84);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);

  // The controls in template (tab) order.
  HWND control = GetWindow(dialog, GW_CHILD);
  for (const ExpectedControl& expected : kControls) {
    SCOPED_TRACE(expected.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), expected.id);
    EXPECT_EQ(CompareStringOrdinal(ClassOf(control).c_str(), -1, expected.className, -1, TRUE), CSTR_EQUAL)
        << ClassOf(control);
    EXPECT_EQ(TextOf(control), expected.text);
    EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & WS_CHILD, WS_CHILD);
    // The progress bar draws its own frame and drops the border style.
    const DWORD compared = std::wstring(expected.className) == L"msctls_progress32" ? ~DWORD{WS_BORDER} : ~DWORD{0};
    EXPECT_EQ(ComparedStyle(control) & compared, expected.style & compared)
        << std::hex << GetWindowLongW(control, GWL_STYLE);
    const RECT want = units.ToPixels(expected.x, expected.y, expected.width, expected.height);
    const RECT got = RectIn(control, dialog);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
    control = GetWindow(control, GW_HWNDNEXT);
  }
  EXPECT_EQ(control, nullptr) << "no controls beyond the template's";

  ASSERT_TRUE(AnswerBox(box, IDOK));
  EXPECT_EQ(program_->WaitForExit(), 0);
}

}  // namespace
}  // namespace vx::testing
