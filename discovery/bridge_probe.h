// The bridge probe: decides whether a node is (part of) a bridge by asking
// each of the bridge's two interfaces for its chip information, and records
// what it finds. The mass-storage side also selects the mode, identifies the
// flash and maps the drive letters.
#pragma once

#include <cstdint>
#include <string_view>

#include "bridge/device_record.h"
#include "discovery/hub_list.h"
#include "platform/device_tree_api.h"

namespace vx {

// The mutex that serialises every probe, across the program's instances.
inline constexpr char16_t kProbeMutexName[] = u"[Device check chip]";
// Nodes of the first child's sibling chain that a subtree search examines.
inline constexpr int kSiblingChainNodes = 8;

// Probes node `nodeId` for the USB device `index` of the set: first the
// mass-storage side, then the WinUSB side, each skipped once its path is set,
// all under the probe mutex (held in record.mutex meanwhile). True when both
// sides are set afterwards; a false result keeps what either side stored. False
// without sending anything when the probe mutex can be neither opened nor
// created.
bool ProbeNode(platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record, const HubList& hubs,
               std::u16string_view nodeId);

// Probes the nodes below the USB device `usbId`: its first child C; then C,
// C's first child, C's next sibling, that sibling's first child, and so on,
// for at most 8 nodes of C's sibling chain. True at the first probe that
// returned true.
bool SearchSubtree(platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record, const HubList& hubs,
                   std::u16string_view usbId);

}  // namespace vx
