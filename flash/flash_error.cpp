#include "flash/flash_error.h"

namespace vx {

const char* FlashErrorName(FlashError error) {
  switch (error) {
    case FlashError::None: return "None";
    case FlashError::WriteEnableFailed: return "WriteEnableFailed";
    case FlashError::WriteDisableFailed: return "WriteDisableFailed";
    case FlashError::BlankCheckReadFailed: return "BlankCheckReadFailed";
    case FlashError::BusyWaitFailed: return "BusyWaitFailed";
    case FlashError::WriteStatusFailed: return "WriteStatusFailed";
    case FlashError::ChipEraseFailed: return "ChipEraseFailed";
    case FlashError::PageProgramFailed: return "PageProgramFailed";
    case FlashError::ReadFailed: return "ReadFailed";
    case FlashError::NotBlank: return "NotBlank";
  }
  return "unknown";
}

}  // namespace vx
