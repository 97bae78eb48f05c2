#include "app/config_origin.h"

namespace vx {

void ConfigOrigin::ReadFrom(const DeviceRecord& device) {
  source_ = Source::Bridge;
  usbInstanceId_ = TextOf(device.usbInstanceId);
  diskPath_ = TextOf(device.diskPath);
}

void ConfigOrigin::FromFile() {
  *this = ConfigOrigin();
  source_ = Source::File;
}

bool ConfigOrigin::MayGoTo(const DeviceRecord& device) const {
  switch (source_) {
    case Source::File:
      return true;
    case Source::Bridge:
      return TextOf(device.usbInstanceId) == usbInstanceId_ && TextOf(device.diskPath) == diskPath_;
    case Source::BuiltIn:
      break;
  }
  return false;
}

}  // namespace vx
