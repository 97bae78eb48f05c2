#include "emulator/usb_bridge.h"

#include <algorithm>
#include <optional>

namespace vx::emu {

namespace {

constexpr std::uint8_t kTypeMask = 0x60;
constexpr std::uint8_t kTypeStandard = 0x00;
constexpr std::uint8_t kTypeClass = 0x20;
constexpr std::uint8_t kTypeVendor = 0x40;
constexpr std::uint8_t kRecipientMask = 0x1F;
constexpr std::uint8_t kRecipientInterface = 1;
constexpr std::uint8_t kRecipientEndpoint = 2;
constexpr std::uint8_t kToHost = 0x80;

namespace request {
constexpr std::uint8_t kGetStatus = 0;
constexpr std::uint8_t kClearFeature = 1;
constexpr std::uint8_t kSetFeature = 3;
constexpr std::uint8_t kSetAddress = 5;
constexpr std::uint8_t kGetDescriptor = 6;
constexpr std::uint8_t kGetConfiguration = 8;
constexpr std::uint8_t kSetConfiguration = 9;
constexpr std::uint8_t kGetInterface = 10;
constexpr std::uint8_t kSetInterface = 11;
constexpr std::uint8_t kGetMaxLun = 0xFE;
constexpr std::uint8_t kBulkOnlyReset = 0xFF;
}  // namespace request

constexpr std::uint16_t kEndpointHalt = 0;

ControlReply Stall() { return {false, {}}; }
ControlReply Done(std::vector<std::uint8_t> data = {}) { return {true, std::move(data)}; }

std::optional<std::vector<std::uint8_t>> Descriptor(const UsbIdentity& identity, std::uint16_t value) {
  const auto index = static_cast<std::uint8_t>(value & 0xFF);
  switch (value >> 8) {
    case usb::kDescriptorDevice:
      return DeviceDescriptor(identity);
    case usb::kDescriptorConfiguration:
      if (index != 0) return std::nullopt;
      return ConfigurationDescriptor();
    case usb::kDescriptorString:
      return StringDescriptor(identity, index);
    case usb::kDescriptorDeviceQualifier:
      return DeviceQualifierDescriptor();
    default:
      return std::nullopt;
  }
}

}  // namespace

UsbBridge::UsbBridge(Bridge& bridge, UsbIdentity identity)
    : bridge_(bridge), identity_(std::move(identity)), target_(bridge, faults_), transport_(target_) {}

ControlReply UsbBridge::Control(const UsbSetup& setup, std::span<const std::uint8_t> outData) {
  if (Gone()) return Stall();
  ControlReply reply;
  switch (setup.requestType & kTypeMask) {
    case kTypeStandard:
      reply = Standard(setup);
      break;
    case kTypeClass:
      reply = MassStorageClass(setup);
      break;
    case kTypeVendor:
      reply = Vendor(setup, outData);
      break;
    default:
      reply = Stall();
  }
  if (reply.data.size() > setup.length) reply.data.resize(setup.length);
  return reply;
}

ControlReply UsbBridge::Standard(const UsbSetup& setup) {
  const std::uint8_t recipient = setup.requestType & kRecipientMask;
  const auto endpoint = static_cast<std::uint8_t>(setup.index & 0xFF);
  const bool haltRequest = recipient == kRecipientEndpoint && setup.value == kEndpointHalt;
  switch (setup.request) {
    case request::kGetStatus:
      return Done({static_cast<std::uint8_t>(recipient == kRecipientEndpoint && transport_.Halted(endpoint)), 0});
    case request::kClearFeature:
      if (haltRequest) transport_.ClearHalt(endpoint);
      return Done();
    case request::kSetFeature:
      if (haltRequest) transport_.Halt(endpoint);
      return Done();
    case request::kSetAddress:
      return Done();
    case request::kGetDescriptor: {
      auto descriptor = Descriptor(identity_, setup.value);
      return descriptor ? Done(std::move(*descriptor)) : Stall();
    }
    case request::kGetConfiguration:
      return Done({configuration_});
    case request::kSetConfiguration:
      return SetConfiguration(static_cast<std::uint8_t>(setup.value)) ? Done() : Stall();
    case request::kGetInterface:
      return Done({0});
    case request::kSetInterface:
      return SetInterface(static_cast<std::uint8_t>(setup.index), static_cast<std::uint8_t>(setup.value)) ? Done()
                                                                                                       : Stall();
    default:
      return Stall();
  }
}

ControlReply UsbBridge::MassStorageClass(const UsbSetup& setup) {
  if ((setup.requestType & kRecipientMask) != kRecipientInterface || setup.index != usb::kMassStorageInterface) {
    return Stall();
  }
  if (setup.request == request::kGetMaxLun && (setup.requestType & kToHost) != 0) return Done({0});
  if (setup.request == request::kBulkOnlyReset && (setup.requestType & kToHost) == 0) {
    transport_.Reset();
    return Done();
  }
  return Stall();
}

ControlReply UsbBridge::Vendor(const UsbSetup& setup, std::span<const std::uint8_t> outData) {
  std::vector<std::uint8_t> buffer(setup.length, 0);
  const bool toHost = (setup.requestType & kToHost) != 0;
  if (!toHost) std::copy_n(outData.begin(), std::min(outData.size(), buffer.size()), buffer.begin());
  const UsbResult result = bridge_.ControlTransfer(
      {setup.requestType, setup.request, setup.value, setup.index, setup.length}, buffer.data(), setup.length);
  if (!result.ok) return Stall();
  buffer.resize(toHost ? result.transferred : 0);
  return Done(std::move(buffer));
}

bool UsbBridge::SetConfiguration(std::uint8_t value) {
  if (value != 0 && value != usb::kConfigurationValue) return false;
  configuration_ = value;
  transport_.Reset();
  return true;
}

bool UsbBridge::SetInterface(std::uint8_t interface, std::uint8_t alternate) {
  return alternate == 0 && interface < kBridgeInterfaces.size();
}

BulkReply UsbBridge::BulkOut(std::uint8_t endpoint, std::span<const std::uint8_t> data) {
  if (Gone() || endpoint != usb::kBulkOutEndpoint) return {UsbStatus::Stall, {}};
  return transport_.Out(data);
}

BulkReply UsbBridge::BulkIn(std::uint8_t endpoint, std::uint32_t length) {
  if (Gone() || endpoint != usb::kBulkInEndpoint) return {UsbStatus::Stall, {}};
  return transport_.In(length);
}

void UsbBridge::Reset() {
  configuration_ = 0;
  transport_.Reset();
}

}  // namespace vx::emu
