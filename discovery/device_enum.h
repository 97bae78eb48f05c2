// USB device enumeration and topology: the operations from which the bridge
// search and the device-table refresh are built. None shows a message or
// keeps state; each reports success or failure and releases what it opened.
//
// Text outputs are UTF-16 buffers; an in/out length is a byte count that
// gives the capacity on entry and the bytes stored on success. A size query
// that fails for any reason but a too small buffer, or whose result does not
// fit the capacity, fails without touching the output.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/device_tree_api.h"

namespace vx {

// Capacity in bytes of a 260-character text buffer.
inline constexpr std::uint32_t kTextBytes = 520;
// Characters requested when a device ID is fetched from a node.
inline constexpr std::uint32_t kDeviceIdChars = 200;

// Flags of a set of the present interfaces of one class (0x12), and of the
// present interfaces in the current hardware profile (0x1A).
inline constexpr std::uint32_t kPresentInterfaces = platform::kDigcfPresent | platform::kDigcfDeviceInterface;
inline constexpr std::uint32_t kPresentProfileInterfaces = kPresentInterfaces | platform::kDigcfProfile;

// The platform is of the NT family. Display-name and parent, child and
// sibling lookups fail without it.
bool IsNtPlatform();

// The number of present interfaces of a class; 0 when no set can be made.
std::uint32_t CountInterfaces(const platform::Guid& interfaceClass);

// The instance ID of device `index` of the set; length := characters with
// the terminator, times two.
bool GetInstanceId(platform::DeviceInfoSet set, std::uint32_t index, char16_t* out, std::uint32_t& length);

// The path of interface `index` of the class in the set, into a zero-filled
// output; length := path characters times two.
bool GetInterfacePath(platform::DeviceInfoSet set, const platform::Guid& interfaceClass, std::uint32_t index,
                      char16_t* out, std::uint32_t& length);

// The interface path of the class that belongs to the device with that
// instance ID (compared ignoring case). Device i of a class set and
// interface i of the class are taken to belong together.
bool FindInterfacePath(const platform::Guid& interfaceClass, std::u16string_view instanceId, char16_t* out,
                       std::uint32_t& length);

// The location string of device `index` of the set; length := its bytes with
// the terminator.
bool GetLocationString(platform::DeviceInfoSet set, std::uint32_t index, char16_t* out, std::uint32_t& length);

// The first readable of the node's friendly name, description and service.
bool GetDisplayName(std::u16string_view instanceId, char16_t* out, std::uint32_t& length);

// The device ID of the node's parent, first child or next sibling, at most
// 200 characters. `out` holds at least 201 characters; the child and sibling
// forms also give the ID's length in characters.
bool GetParentId(std::u16string_view instanceId, char16_t* out);
bool GetChildId(std::u16string_view instanceId, char16_t* out, std::uint32_t& lengthChars);
bool GetSiblingId(std::u16string_view instanceId, char16_t* out, std::uint32_t& lengthChars);

}  // namespace vx
