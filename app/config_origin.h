// Where the configuration image in the image store came from. A bridge's
// configuration image holds its identity and settings, so an update may
// write it back only to the bridge it was read from; one from a firmware
// file may go to any bridge, and the built-in default to none (an update
// that would write it is refused before anything is erased).
#pragma once

#include <string>

#include "bridge/device_record.h"

namespace vx {

class ConfigOrigin {
 public:
  // The built-in default, as after the store was reset.
  void BuiltIn() { *this = ConfigOrigin(); }
  // Read from this bridge.
  void ReadFrom(const DeviceRecord& device);
  // Taken from a firmware file.
  void FromFile();

  // True when the configuration image may be written to this bridge.
  bool MayGoTo(const DeviceRecord& device) const;

 private:
  enum class Source { BuiltIn, Bridge, File };
  Source source_ = Source::BuiltIn;
  // The bridge it was read from: its USB instance ID and disk path.
  std::u16string usbInstanceId_;
  std::u16string diskPath_;
};

}  // namespace vx
