#include "discovery/read_location.h"

#include <algorithm>
#include <optional>

#include "discovery/device_enum.h"
#include "platform/platform.h"

namespace vx {

namespace {

constexpr std::size_t kNumberWidth = 4;

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// One "%04d" conversion at `at`, which it advances past what it read.
std::optional<std::int32_t> ScanNumber(std::u16string_view text, std::size_t& at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  std::size_t width = 0;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    negative = text[at] == u'-';
    ++at;
    ++width;
  }
  std::int32_t value = 0;
  std::size_t digits = 0;
  while (width < kNumberWidth && at < text.size() && IsDigit(text[at])) {
    value = value * 10 + (text[at] - u'0');
    ++at;
    ++width;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return negative ? -value : value;
}

bool ScanLiteral(std::u16string_view text, std::size_t& at, std::u16string_view literal) {
  if (text.substr(at, literal.size()) != literal) return false;
  at += literal.size();
  return true;
}

}  // namespace

bool ParseLocationText(std::u16string_view text, std::int32_t& port, std::int32_t& hub) {
  std::size_t at = 0;
  if (!ScanLiteral(text, at, u"Port_#")) return false;
  const auto portValue = ScanNumber(text, at);
  if (!portValue) return false;
  port = *portValue;
  if (!ScanLiteral(text, at, u".Hub_#")) return false;
  const auto hubValue = ScanNumber(text, at);
  if (!hubValue || at != text.size()) return false;
  hub = *hubValue;
  return true;
}

bool ReadLocation(platform::DeviceInfoSet set, std::uint32_t index, DeviceRecord& record, const HubList& hubs) {
  char16_t location[kTextChars] = {};
  std::uint32_t length = kTextBytes;
  if (GetLocationString(set, index, location, length) &&
      ParseLocationText(TextOf(location), record.portNumber, record.hubNumber))
    return true;

  // A device that cannot be located has no node to look for: without this
  // test it would match every connected port whose driver key was not found.
  platform::DevNode device = 0;
  if (IsEmpty(record.usbInstanceId) || !platform::DeviceTree().LocateDevNode(TextOf(record.usbInstanceId), device))
    return true;
  for (std::size_t i = 0; i < hubs.hubs.size(); ++i) {
    const HubEntry& hub = hubs.hubs[i];
    if (TextOf(hub.instanceId) != TextOf(record.parentId) || hub.nodeInfo.nodeType != platform::HubNodeType::UsbHub)
      continue;
    const std::size_t ports = std::min<std::size_t>(hub.nodeInfo.numberOfPorts, hub.ports.size());
    for (std::size_t k = 0; k < ports; ++k) {
      const PortEntry& port = hub.ports[k];
      if (port.connection.connectionStatus != platform::kDeviceConnected || port.devInst != device) continue;
      record.hubNumber = static_cast<std::int32_t>(i + 1);
      record.portNumber = static_cast<std::int32_t>(k + 1);
      record.usbSpeed = port.connection.speed;
    }
  }
  return true;
}

}  // namespace vx
