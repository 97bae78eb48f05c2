// Why a flash operation stopped. The failing step's code decides the
// clean-up; operations return only true or false to their callers and tell
// the code to the diagnostic channel.
#pragma once

namespace vx {

enum class FlashError : int {
  None = 0,
  WriteEnableFailed = -60,
  WriteDisableFailed = -61,
  BlankCheckReadFailed = -66,
  BusyWaitFailed = -67,
  WriteStatusFailed = -69,
  ChipEraseFailed = -71,
  PageProgramFailed = -72,
  ReadFailed = -73,
  NotBlank = -74,
};

// The code's name, e.g. "ChipEraseFailed".
const char* FlashErrorName(FlashError error);

}  // namespace vx
