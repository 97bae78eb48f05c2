#include "app/update_error.h"

namespace vx {

std::u16string_view UpdateErrorMessage(int code) {
  switch (code) {
    case kUpdateNoDevice:
      return u"Can't Find the device!\nPlease Check the device.";
    case kUpdateEraseFailed:
      return u"Erase chip failed.";
    case kUpdateWriteFailed:
      return u"Write data failed.";
    case kUpdateReadFailed:
      return u"Read data failed.";
    case kUpdateVerifyFailed:
      return u"Verify data failed.";
    case kUpdateDiskWriteFailed:
      return u"Write disk image file error.";
    case kUpdateDiskReadFailed:
      return u"Read disk image error.";
    case kUpdateDiskVerifyFailed:
      return u"Verify image error.";
    case kUpdateForeignConfig:
      return u"The configuration of this bridge was not read at start-up.\n"
             u"Nothing was written; please start the updater again.";
    case kUpdateDiskImageTooLarge:
      return u"The disk image does not fit the flash of this bridge.\nNothing was written.";
    default:
      return {};
  }
}

}  // namespace vx
