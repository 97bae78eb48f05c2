// Why a flash operation stopped. The failing step's code decides the
// clean-up; operations report only true or false to their callers.
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

}  // namespace vx
