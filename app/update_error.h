// The codes that end a failed update, one per step, and the message each
// selects.
#pragma once

#include <string_view>

namespace vx {

enum UpdateError : int {
  kUpdateOk = 0,
  kUpdateNoDevice = -100,
  kUpdateEraseFailed = -101,
  kUpdateWriteFailed = -103,
  kUpdateReadFailed = -104,
  kUpdateVerifyFailed = -105,
  kUpdateDiskWriteFailed = -106,
  kUpdateDiskReadFailed = -107,
  kUpdateDiskVerifyFailed = -108,
  // Refusals before anything is erased.
  kUpdateForeignConfig = -109,       // the configuration image was not read from this bridge
  kUpdateDiskImageTooLarge = -110,   // the disk image runs past the flash's end
};

// The message box text for a failure code (empty for codes outside the table).
std::u16string_view UpdateErrorMessage(int code);

}  // namespace vx
