// The About box from the system menu, the file box and the browse button's
// check of the chosen file, and a wrong command line.
#include "tests/gui/win32/dialog_fixture.h"

namespace vx::testing {
namespace {

TEST_F(DialogTest, AboutBoxFromTheSystemMenu) {
  UpdateToIdle();
  PostMessageW(dialog_, WM_SYSCOMMAND, 0x0010, 0);
  const HWND about = WaitForBox(L"\u95DC\u65BC VX94C6FWUpdater", dialog_);
  ASSERT_NE(about, nullptr);
  std::vector<std::wstring> texts;
  for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    texts.push_back(TextOf(child));
  }
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[1], L"VX94C6FWUpdater, 1.0 \u7248");
  EXPECT_EQ(TextOf(GetDlgItem(about, IDOK)), L"\u78BA\u5B9A");
  ASSERT_TRUE(AnswerBox(about, IDOK));
  EXPECT_TRUE(IsWindowVisible(dialog_));
}

TEST_F(DialogTest, BrowseRefusesAFileOfAnotherKind) {
  UpdateToIdle();
  folder_.Write(L"notes.txt", std::string("not firmware"));
  const std::wstring chosen = (folder_ / L"notes.txt").wstring();

  PostClick(dialog_, 1019);
  const HWND open = WaitForBox(L"Open", dialog_);
  ASSERT_NE(open, nullptr);
  HWND nameBox = nullptr;
  for (HWND child = GetWindow(open, GW_CHILD); child != nullptr && nameBox == nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == L"Edit" && IsWindowVisible(child)) nameBox = child;
  }
  ASSERT_NE(nameBox, nullptr);
  SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
  PostClick(open, IDOK);

  const HWND error = WaitForBox(L"ERROR", dialog_);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(MessageBoxText(error), L"File Format is Invalid!\nPlease Select BIN or EEP file.");
  ASSERT_TRUE(AnswerBox(error, IDOK));
  EXPECT_EQ(TextOf(Control(1003)), chosen) << "the chosen path stays in the file box";
  EXPECT_EQ(TextOf(Control(1007)), L"Success.") << "nothing was loaded";
}

// Typing in the file box changes nothing until the box loses the focus;
// then the file typed is loaded.
TEST_F(DialogTest, LeavingTheFileBoxLoadsTheFileTyped) {
  UpdateToIdle();
  const HWND fileBox = Control(1003);
  const DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
  const auto focus = [&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
  };
  PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(fileBox), TRUE);
  ASSERT_TRUE(WaitUntil([&] { return focus() == fileBox; }));
  const std::wstring typed = (folder_ / L"missing.bin").wstring();
  SendMessageW(fileBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  EXPECT_EQ(TextOf(Control(1007)), L"Success.");
  EXPECT_EQ(FindTopLevel(program_->Pid(), L"#32770", L"Error"), nullptr) << "nothing loaded while typing";

  PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(2)), TRUE);
  const HWND error = WaitForBox(L"Error", dialog_);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(MessageBoxText(error), L"Load BIN file error!!!");
  ASSERT_TRUE(AnswerBox(error, IDOK));
  EXPECT_NE(TextOf(Control(1007)), L"Success.") << "the status line tells why the file did not load";
}

TEST_F(DialogTest, WrongCommandLineIsExplained) {
  WriteSettings("new.bin");
  Start({L"--sim-flash", L"not-hex"});
  const HWND box = WaitForBox(L"VX94C6FWUpdater");
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"not-hex"), std::wstring::npos) << MessageBoxText(box);
  ASSERT_TRUE(AnswerBox(box, IDOK));
  EXPECT_EQ(program_->WaitForExit(), 2);
}

}  // namespace
}  // namespace vx::testing
