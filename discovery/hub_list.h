// The hub list: a snapshot of every USB hub and of what is plugged into each
// of its ports, used to find a bridge's hub and port when the system gives no
// usable location string.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/device_tree_api.h"
#include "platform/hub_api.h"

namespace vx {

// One port; entry k describes port k + 1.
struct PortEntry {
  platform::DevNode devInst = 0;  // what is plugged in; 0 when none was found
  platform::PortConnectionInformation connection;
};

struct HubEntry {
  platform::HubNodeInformation nodeInfo;
  char16_t instanceId[kTextChars] = {};
  std::vector<PortEntry> ports;  // empty when the hub's query failed
};

// Owns its entries; FreeHubList (or the destructor) releases them.
struct HubList {
  std::vector<HubEntry> hubs;

  std::int32_t hubCount() const { return static_cast<std::int32_t>(hubs.size()); }
};

// One entry per present hub interface, in enumeration order, each with its
// port table. False (and an empty list) when the hub set cannot be made.
bool BuildHubList(HubList& list);
void FreeHubList(HubList& list);

// The node whose driver key equals `driverKey` ignoring case, found by a
// pre-order walk of the whole device tree; 0 when none, or when the matching
// node has no readable description.
platform::DevNode DevNodeFromDriverKey(std::u16string_view driverKey);

}  // namespace vx
