// The hub and port of a USB device: from its location string when the system
// gives one of the form "Port_#0002.Hub_#0004", otherwise from the hub list.
#pragma once

#include <cstdint>
#include <string_view>

#include "bridge/device_record.h"
#include "discovery/hub_list.h"
#include "platform/device_tree_api.h"

namespace vx {

// Reads "Port_#%04d.Hub_#%04d" as the scanf family reads it (each number at
// most four characters, sign included, after optional white space) and
// requires the text to end after the hub number. Each number is stored as it
// converts, so a text in which only the port converts leaves it in `port`.
// True when both converted and nothing followed.
bool ParseLocationText(std::u16string_view text, std::int32_t& port, std::int32_t& hub);

// Fills portNumber and hubNumber (and usbSpeed when the hub list gave them)
// of the record for device `index` of the set. Falls back to the hub list
// when the location string is missing or does not parse: the hub entry whose
// instance ID equals the record's parentId exactly, and the port whose node is
// the record's USB device; the last match wins, positions are 1-based. Always
// succeeds; with no match the fields keep what they held.
bool ReadLocation(platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record, const HubList& hubs);

}  // namespace vx
