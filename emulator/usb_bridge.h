// The emulated bridge as a whole USB device: the standard requests on its
// control endpoint, the class requests of its mass-storage interface, the
// vendor requests that the bridge answers, and the bulk endpoints of the
// bulk-only transport. A stalled control request reaches the host as a
// broken pipe.
//
// The device is gone (unplugged) once the bridge is no longer present, for
// example after a vanish fault.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "emulator/bridge.h"
#include "emulator/usb_bulk_only.h"
#include "emulator/usb_descriptors.h"
#include "emulator/usb_faults.h"
#include "emulator/usb_scsi_target.h"

namespace vx::emu {

struct UsbSetup {
  std::uint8_t requestType;
  std::uint8_t request;
  std::uint16_t value;
  std::uint16_t index;
  std::uint16_t length;
};

struct ControlReply {
  bool ok;                         // false: stalled
  std::vector<std::uint8_t> data;  // the data stage of a request to the host
};

class UsbBridge {
 public:
  UsbBridge(Bridge& bridge, UsbIdentity identity);
  UsbBridge(const UsbBridge&) = delete;
  UsbBridge& operator=(const UsbBridge&) = delete;

  // outData: the data stage of a request from the host.
  ControlReply Control(const UsbSetup& setup, std::span<const std::uint8_t> outData);
  bool SetConfiguration(std::uint8_t value);
  std::uint8_t Configuration() const { return configuration_; }
  bool SetInterface(std::uint8_t interface, std::uint8_t alternate);

  BulkReply BulkOut(std::uint8_t endpoint, std::span<const std::uint8_t> data);
  BulkReply BulkIn(std::uint8_t endpoint, std::uint32_t length);
  // A reset of the device by the host's port.
  void Reset();

  bool Gone() const { return !bridge_.Present(); }
  const UsbIdentity& Identity() const { return identity_; }
  UsbFaultPlan& Faults() { return faults_; }

 private:
  ControlReply Standard(const UsbSetup& setup);
  ControlReply MassStorageClass(const UsbSetup& setup);
  ControlReply Vendor(const UsbSetup& setup, std::span<const std::uint8_t> outData);

  Bridge& bridge_;
  UsbIdentity identity_;
  UsbFaultPlan faults_;
  UsbScsiTarget target_;
  UsbBulkOnly transport_;
  std::uint8_t configuration_ = 0;
};

}  // namespace vx::emu
