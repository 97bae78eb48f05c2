#include "tests/e2e/usbredir_link.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace vx::e2e {

namespace {

constexpr const char* kVersion = "vx94c6 emulated bridge";
constexpr std::uint8_t kControlEndpoint = 0x00;
constexpr int kMaxEndpoints = 32;

int EndpointIndex(std::uint8_t endpoint) { return ((endpoint & 0x80) >> 3) | (endpoint & 0x0F); }

std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

std::uint8_t StatusOf(emu::UsbStatus status) {
  return status == emu::UsbStatus::Ok ? usb_redir_success : usb_redir_stall;
}

// The parser copies what it sends; its interface just is not const-correct.
std::uint8_t* Sendable(const std::vector<std::uint8_t>& data) {
  return data.empty() ? nullptr : const_cast<std::uint8_t*>(data.data());
}

}  // namespace

UsbredirLink::UsbredirLink(int fd, emu::UsbBridge& device, emu::VirtualClock& clock)
    : fd_(fd), device_(device), clock_(clock), parser_(usbredirparser_create()), startMs_(NowMs()) {
  if (parser_ == nullptr) std::abort();
  parser_->priv = this;
  parser_->log_func = Log;
  parser_->read_func = Read;
  parser_->write_func = Write;
  parser_->hello_func = Hello;
  parser_->reset_func = Reset;
  parser_->set_configuration_func = SetConfiguration;
  parser_->get_configuration_func = GetConfiguration;
  parser_->set_alt_setting_func = SetAltSetting;
  parser_->get_alt_setting_func = GetAltSetting;
  parser_->cancel_data_packet_func = CancelDataPacket;
  parser_->device_disconnect_ack_func = DisconnectAck;
  parser_->filter_filter_func = FilterRules;
  parser_->control_packet_func = ControlPacket;
  parser_->bulk_packet_func = BulkPacket;
  std::uint32_t caps[USB_REDIR_CAPS_SIZE] = {};
  for (int cap : {usb_redir_cap_connect_device_version, usb_redir_cap_ep_info_max_packet_size,
                  usb_redir_cap_64bits_ids, usb_redir_cap_32bits_bulk_length, usb_redir_cap_device_disconnect_ack}) {
    usbredirparser_caps_set_cap(caps, cap);
  }
  usbredirparser_init(parser_, kVersion, caps, USB_REDIR_CAPS_SIZE, usbredirparser_fl_usb_host);
}

UsbredirLink::~UsbredirLink() { usbredirparser_destroy(parser_); }

bool UsbredirLink::Run() {
  while (!closed_ && !failed_) {
    pollfd watch{fd_, POLLIN, 0};
    if (usbredirparser_has_data_to_write(parser_) > 0) watch.events |= POLLOUT;
    if (::poll(&watch, 1, -1) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    AdvanceClock();
    if ((watch.revents & (POLLIN | POLLHUP | POLLERR)) != 0 && usbredirparser_do_read(parser_) != 0 && !closed_) {
      failed_ = true;
    }
    DisconnectIfGone();
    if (usbredirparser_has_data_to_write(parser_) > 0 && usbredirparser_do_write(parser_) != 0) failed_ = !closed_;
  }
  return !failed_;
}

int UsbredirLink::Read(void* priv, std::uint8_t* data, int count) {
  UsbredirLink& link = Of(priv);
  const ssize_t got = ::recv(link.fd_, data, static_cast<std::size_t>(count), 0);
  if (got > 0) return static_cast<int>(got);
  if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
  link.closed_ = true;  // the peer closed the connection, or it broke
  return -1;
}

int UsbredirLink::Write(void* priv, std::uint8_t* data, int count) {
  UsbredirLink& link = Of(priv);
  const ssize_t sent = ::send(link.fd_, data, static_cast<std::size_t>(count), MSG_NOSIGNAL);
  if (sent >= 0) return static_cast<int>(sent);
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return 0;
  link.closed_ = true;
  return -1;
}

void UsbredirLink::Log(void*, int level, const char* message) {
  if (level <= usbredirparser_warning) std::fprintf(stderr, "usbredir: %s\n", message);
}

void UsbredirLink::Hello(void* priv, usb_redir_hello_header*) { Of(priv).Connect(); }

void UsbredirLink::Connect() {
  usb_redir_interface_info_header interfaces{};
  interfaces.interface_count = static_cast<std::uint32_t>(emu::kBridgeInterfaces.size());
  for (std::size_t i = 0; i < emu::kBridgeInterfaces.size(); ++i) {
    const auto& interface = emu::kBridgeInterfaces[i];
    interfaces.interface[i] = interface.number;
    interfaces.interface_class[i] = interface.interfaceClass;
    interfaces.interface_subclass[i] = interface.subclass;
    interfaces.interface_protocol[i] = interface.protocol;
  }
  usbredirparser_send_interface_info(parser_, &interfaces);

  usb_redir_ep_info_header endpoints{};
  std::fill_n(endpoints.type, kMaxEndpoints, static_cast<std::uint8_t>(usb_redir_type_invalid));
  for (std::uint8_t endpoint : {kControlEndpoint, static_cast<std::uint8_t>(kControlEndpoint | 0x80)}) {
    endpoints.type[EndpointIndex(endpoint)] = usb_redir_type_control;
    endpoints.max_packet_size[EndpointIndex(endpoint)] = emu::usb::kControlMaxPacket;
  }
  for (std::uint8_t endpoint : {emu::usb::kBulkInEndpoint, emu::usb::kBulkOutEndpoint}) {
    endpoints.type[EndpointIndex(endpoint)] = usb_redir_type_bulk;
    endpoints.interface[EndpointIndex(endpoint)] = emu::usb::kMassStorageInterface;
    endpoints.max_packet_size[EndpointIndex(endpoint)] = emu::usb::kBulkMaxPacket;
  }
  usbredirparser_send_ep_info(parser_, &endpoints);

  const emu::UsbIdentity& identity = device_.Identity();
  usb_redir_device_connect_header connect{};
  connect.speed = usb_redir_speed_high;
  connect.vendor_id = identity.vendorId;
  connect.product_id = identity.productId;
  connect.device_version_bcd = identity.deviceVersion;
  usbredirparser_send_device_connect(parser_, &connect);
}

void UsbredirLink::Reset(void* priv) {
  UsbredirLink& link = Of(priv);
  link.pending_.clear();  // the peer gave those transfers up before the reset
  link.device_.Reset();
}

void UsbredirLink::SetConfiguration(void* priv, std::uint64_t id, usb_redir_set_configuration_header* header) {
  UsbredirLink& link = Of(priv);
  usb_redir_configuration_status_header status{};
  status.status = link.device_.SetConfiguration(header->configuration) ? usb_redir_success : usb_redir_stall;
  status.configuration = link.device_.Configuration();
  usbredirparser_send_configuration_status(link.parser_, id, &status);
}

void UsbredirLink::GetConfiguration(void* priv, std::uint64_t id) {
  UsbredirLink& link = Of(priv);
  usb_redir_configuration_status_header status{usb_redir_success, link.device_.Configuration()};
  usbredirparser_send_configuration_status(link.parser_, id, &status);
}

void UsbredirLink::SetAltSetting(void* priv, std::uint64_t id, usb_redir_set_alt_setting_header* header) {
  UsbredirLink& link = Of(priv);
  usb_redir_alt_setting_status_header status{};
  status.status = link.device_.SetInterface(header->interface, header->alt) ? usb_redir_success : usb_redir_stall;
  status.interface = header->interface;
  status.alt = 0;
  usbredirparser_send_alt_setting_status(link.parser_, id, &status);
}

void UsbredirLink::GetAltSetting(void* priv, std::uint64_t id, usb_redir_get_alt_setting_header* header) {
  UsbredirLink& link = Of(priv);
  usb_redir_alt_setting_status_header status{usb_redir_success, header->interface, 0};
  usbredirparser_send_alt_setting_status(link.parser_, id, &status);
}

void UsbredirLink::CancelDataPacket(void* priv, std::uint64_t id) {
  UsbredirLink& link = Of(priv);
  const auto found = std::ranges::find(link.pending_, id, &Pending::id);
  if (found == link.pending_.end()) return;
  usb_redir_bulk_packet_header header{};
  header.endpoint = found->endpoint;
  header.status = usb_redir_cancelled;
  usbredirparser_send_bulk_packet(link.parser_, id, &header, nullptr, 0);
  link.pending_.erase(found);
}

void UsbredirLink::DisconnectAck(void*) {}

void UsbredirLink::FilterRules(void*, usbredirfilter_rule* rules, int) { std::free(rules); }

void UsbredirLink::ControlPacket(void* priv, std::uint64_t id, usb_redir_control_packet_header* header,
                                 std::uint8_t* data, int length) {
  UsbredirLink& link = Of(priv);
  const emu::UsbSetup setup{header->requesttype, header->request, header->value, header->index, header->length};
  const emu::ControlReply reply =
      link.device_.Control(setup, {data, data == nullptr ? 0u : static_cast<std::size_t>(length)});
  usbredirparser_free_packet_data(link.parser_, data);
  usb_redir_control_packet_header answer = *header;
  answer.status = reply.ok ? usb_redir_success : usb_redir_stall;
  const bool toHost = (header->endpoint & 0x80) != 0;
  if (toHost) {
    answer.length = static_cast<std::uint16_t>(reply.data.size());
    usbredirparser_send_control_packet(link.parser_, id, &answer, Sendable(reply.data),
                                       static_cast<int>(reply.data.size()));
  } else {
    answer.length = reply.ok ? header->length : 0;
    usbredirparser_send_control_packet(link.parser_, id, &answer, nullptr, 0);
  }
}

void UsbredirLink::BulkPacket(void* priv, std::uint64_t id, usb_redir_bulk_packet_header* header, std::uint8_t* data,
                              int length) {
  UsbredirLink& link = Of(priv);
  const std::uint8_t endpoint = header->endpoint;
  emu::BulkReply reply;
  if ((endpoint & 0x80) != 0) {
    const std::uint32_t wanted = (std::uint32_t{header->length_high} << 16) | header->length;
    reply = link.device_.BulkIn(endpoint, wanted);
  } else {
    reply = link.device_.BulkOut(endpoint, {data, data == nullptr ? 0u : static_cast<std::size_t>(length)});
  }
  usbredirparser_free_packet_data(link.parser_, data);
  if (reply.status == emu::UsbStatus::NoAnswer) {
    link.pending_.push_back({id, endpoint});
    return;
  }
  link.AnswerBulk(id, endpoint, reply);
}

void UsbredirLink::AnswerBulk(std::uint64_t id, std::uint8_t endpoint, const emu::BulkReply& reply) {
  usb_redir_bulk_packet_header header{};
  header.endpoint = endpoint;
  header.status = StatusOf(reply.status);
  const bool in = (endpoint & 0x80) != 0;
  const std::uint32_t length = in ? static_cast<std::uint32_t>(reply.data.size()) : reply.accepted;
  header.length = static_cast<std::uint16_t>(length & 0xFFFF);
  header.length_high = static_cast<std::uint16_t>(length >> 16);
  const int dataLength = in ? static_cast<int>(reply.data.size()) : 0;
  usbredirparser_send_bulk_packet(parser_, id, &header, dataLength == 0 ? nullptr : Sendable(reply.data), dataLength);
}

void UsbredirLink::AdvanceClock() {
  const std::uint64_t elapsed = NowMs() - startMs_;
  if (elapsed > clock_.NowMs()) clock_.Advance(elapsed - clock_.NowMs());
}

void UsbredirLink::DisconnectIfGone() {
  if (disconnected_ || !device_.Gone()) return;
  for (const Pending& pending : pending_) {
    usb_redir_bulk_packet_header header{};
    header.endpoint = pending.endpoint;
    header.status = usb_redir_ioerror;
    usbredirparser_send_bulk_packet(parser_, pending.id, &header, nullptr, 0);
  }
  pending_.clear();
  usbredirparser_send_device_disconnect(parser_);
  disconnected_ = true;
}

}  // namespace vx::e2e
