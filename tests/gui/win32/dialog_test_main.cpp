// The dialog tests' main: --program=PATH names the dialog program to drive.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/gui/win32/dialog_program.h"

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const std::wstring option = L"--program=";
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg.starts_with(option)) vx::testing::gProgramPath = arg.substr(option.size());
  }
  if (vx::testing::gProgramPath.empty()) {
    std::fputs("usage: dialog_tests --program=PATH [gtest options]\n", stderr);
    return 2;
  }
  return RUN_ALL_TESTS();
}
