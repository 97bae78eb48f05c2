// One emulated bridge attached over a usbredir connection: we play the side
// that owns the USB device, the virtual machine's usb-redir device is the
// peer. Data packets are answered at once from the UsbBridge, except bulk
// transfers it leaves unanswered: those stay pending until the peer cancels
// them or resets the device. When the bridge goes away the device is
// disconnected, as an unplug.
#pragma once

#include <usbredirparser.h>

#include <cstdint>
#include <vector>

#include "emulator/usb_bridge.h"
#include "emulator/virtual_clock.h"

namespace vx::e2e {

class UsbredirLink {
 public:
  // fd: a connected, non-blocking stream socket; the clock is moved on with
  // real time before every packet.
  UsbredirLink(int fd, emu::UsbBridge& device, emu::VirtualClock& clock);
  ~UsbredirLink();
  UsbredirLink(const UsbredirLink&) = delete;
  UsbredirLink& operator=(const UsbredirLink&) = delete;

  // Serves the connection until the peer closes it. False when it broke.
  bool Run();

 private:
  static UsbredirLink& Of(void* priv) { return *static_cast<UsbredirLink*>(priv); }
  static int Read(void* priv, std::uint8_t* data, int count);
  static int Write(void* priv, std::uint8_t* data, int count);
  static void Log(void* priv, int level, const char* message);
  static void Hello(void* priv, usb_redir_hello_header* hello);
  static void Reset(void* priv);
  static void SetConfiguration(void* priv, std::uint64_t id, usb_redir_set_configuration_header* header);
  static void GetConfiguration(void* priv, std::uint64_t id);
  static void SetAltSetting(void* priv, std::uint64_t id, usb_redir_set_alt_setting_header* header);
  static void GetAltSetting(void* priv, std::uint64_t id, usb_redir_get_alt_setting_header* header);
  static void CancelDataPacket(void* priv, std::uint64_t id);
  static void DisconnectAck(void* priv);
  static void FilterRules(void* priv, usbredirfilter_rule* rules, int count);
  static void ControlPacket(void* priv, std::uint64_t id, usb_redir_control_packet_header* header, std::uint8_t* data,
                            int length);
  static void BulkPacket(void* priv, std::uint64_t id, usb_redir_bulk_packet_header* header, std::uint8_t* data,
                         int length);

  void Connect();
  void AnswerBulk(std::uint64_t id, std::uint8_t endpoint, const emu::BulkReply& reply);
  void AdvanceClock();
  void DisconnectIfGone();

  struct Pending {
    std::uint64_t id;
    std::uint8_t endpoint;
  };

  int fd_;
  emu::UsbBridge& device_;
  emu::VirtualClock& clock_;
  usbredirparser* parser_;
  std::uint64_t startMs_;
  bool closed_ = false;
  bool failed_ = false;
  bool disconnected_ = false;
  std::vector<Pending> pending_;
};

}  // namespace vx::e2e
