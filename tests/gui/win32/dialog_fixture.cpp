#include "tests/gui/win32/dialog_fixture.h"

#include <algorithm>
#include <iterator>

namespace vx::testing {

Bytes Pattern(std::size_t length, unsigned seed) {
  Bytes bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>((i * 31 + seed) % 251);
  return bytes;
}

std::uint16_t Sum16(const Bytes& bytes) {
  unsigned sum = 0;
  for (const std::uint8_t b : bytes) sum += b;
  return static_cast<std::uint16_t>(sum);
}

namespace {

// A state file: the flash holding a configuration image and code, the rest
// erased, then the trailer with the status register, write-protected.
Bytes State(const Bytes& config, const Bytes& code) {
  Bytes state(kFlashBytes, 0xFF);
  std::copy(config.begin(), config.end(), state.begin());
  std::copy(code.begin(), code.end(), state.begin() + 512);
  const std::uint8_t trailer[] = {'V', 'X', 'S', 'R', 0x01, 0x02, 0x1C, 0x00};
  state.insert(state.end(), std::begin(trailer), std::end(trailer));
  return state;
}

}  // namespace

DialogTest::DialogTest()
    : oldConfig_(Pattern(512, 1)), oldCode_(Pattern(8192, 2)), newCode_(Pattern(4096, 3)) {
  folder_.Write(L"bridge.state", State(oldConfig_, oldCode_));
  folder_.Write(L"new.bin", newCode_);
}

void DialogTest::WriteSettings(const std::string& firmware, int devCount) {
  folder_.Write(L"Config.ini", "[Configuration]\r\nDevCount=" + std::to_string(devCount) +
                                   "\r\n[Hex_FileName]\r\nHEXNAME=" + firmware +
                                   "\r\n[Cmp_Ver]\r\nCMPLEN=4\r\nCMPSTR=0100\r\nCHECKSUM=0000\r\n");
}

DialogProgram& DialogTest::Start(const std::vector<std::wstring>& extraArgs) {
  std::vector<std::wstring> args{L"--config", (folder_ / L"Config.ini").wstring(),
                                 L"--simulate=" + (folder_ / L"bridge.state").wstring()};
  args.insert(args.end(), extraArgs.begin(), extraArgs.end());
  program_ = std::make_unique<DialogProgram>(args);
  EXPECT_TRUE(program_->Started());
  return *program_;
}

HWND DialogTest::WaitForBox(const std::wstring& caption, HWND owner) {
  return WaitForTopLevel(program_->Pid(), L"#32770", caption, owner);
}

HWND DialogTest::UpdateUntilSuccessBox() {
  WriteSettings("new.bin");
  Start();
  const HWND warning = WaitForBox(L"Warning");
  if (warning == nullptr) return nullptr;
  EXPECT_EQ(MessageBoxText(warning), L"Please do not power down or un-plug the device when updating the FW.");
  dialog_ = GetWindow(warning, GW_OWNER);
  EXPECT_TRUE(AnswerBox(warning, IDOK));
  const HWND success = WaitForBox(L"Message", dialog_);
  if (success != nullptr) {
    EXPECT_EQ(MessageBoxText(success), L"Success!!");
  }
  return success;
}

void DialogTest::UpdateToIdle() {
  const HWND success = UpdateUntilSuccessBox();
  ASSERT_NE(success, nullptr);
  ASSERT_TRUE(AnswerBox(success, IDOK));
  // The update thread's last steps: the bar hidden, Update enabled.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(1014)) && !IsWindowVisible(Control(1018)); }));
}

Bytes DialogTest::StateAfterUpdate() const { return State(oldConfig_, newCode_); }

}  // namespace vx::testing
