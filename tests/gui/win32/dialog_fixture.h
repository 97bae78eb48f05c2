// A run of the dialog program on a simulated bridge in a folder named outside
// the ANSI code page: the settings file, the firmware file and the bridge's
// flash content (a state file) live there.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/gui/win32/dialog_program.h"
#include "tests/gui/win32/window_driver.h"
#include "tests/support/non_ascii_folder.h"

namespace vx::testing {

using Bytes = std::vector<std::uint8_t>;

// The emulated bridge's flash holds a configuration image and code from an
// earlier update, the rest erased, and is write-protected.
inline constexpr std::size_t kFlashBytes = 512 * 1024;  // the default emulated part, "EF 30 13"

Bytes Pattern(std::size_t length, unsigned seed);
std::uint16_t Sum16(const Bytes& bytes);

class DialogTest : public ::testing::Test {
 protected:
  DialogTest();

  // "Config.ini" naming firmware, with the version gate on the bridge's
  // "0100" and the checksum gate off.
  void WriteSettings(const std::string& firmware, int devCount = 1);
  // Starts the program with --config and --simulate=STATE in the folder.
  DialogProgram& Start(const std::vector<std::wstring>& extraArgs = {});

  // A visible message box or dialog of the program with this caption (owned
  // by owner, when given).
  HWND WaitForBox(const std::wstring& caption, HWND owner = nullptr);
  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  // Answers the start-up warning and waits for the "Success!!" box, while
  // the update thread is still running; the box is not answered.
  HWND UpdateUntilSuccessBox();
  // A whole update: afterwards the dialog is idle.
  void UpdateToIdle();
  // The state file after an update with new.bin: the bridge's own
  // configuration image and the new code, protected again.
  Bytes StateAfterUpdate() const;

  test::NonAsciiFolder folder_;
  Bytes oldConfig_;
  Bytes oldCode_;
  Bytes newCode_;
  std::unique_ptr<DialogProgram> program_;
  HWND dialog_ = nullptr;
};

}  // namespace vx::testing
