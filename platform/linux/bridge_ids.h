// The USB vendor and product IDs of the bridges the operator named in the
// settings (section "Update_Device", keys "VID%d" and "PID%d" for n = 1 to
// "DevCount" of section "Configuration"). On Linux they stand in for the
// bridge driver's binding: only a device with one of these ID pairs offers
// its vendor-class interface for control requests.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/profile_api.h"

namespace vx::platform::linux_backend {

struct UsbId {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  friend bool operator==(const UsbId&, const UsbId&) = default;
};

// The pairs as the settings file gives them, with the settings' defaults
// (three entries of 1B7E:94C6 when nothing is set). A pair whose either
// value is not a hexadecimal number of up to four digits is left out; so are
// all when "DevCount" is above 3, as such settings cannot be used.
std::vector<UsbId> ReadBridgeIds(ProfileApi& profile, std::u16string_view settingsPath);

}  // namespace vx::platform::linux_backend
