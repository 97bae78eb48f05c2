// Vendor control requests to a bridge's WinUSB interface, used only while
// probing for bridges: the chip-information block and a two-byte presence
// test. Each request takes the record's bridge lock, opens the interface
// path, and closes it again; a transfer that moves fewer bytes than asked for
// is a failure, and the caller's buffer is written only on success.
#pragma once

#include <cstdint>

#include "bridge/device_record.h"
#include "platform/winusb_api.h"

namespace vx {

// The 16-byte chip-information block: request C0 F1, value 7E1B (the bytes
// 1B 7E on the wire), index 1.
bool ReadChipInfoUsb(const DeviceRecord& device, std::uint8_t* out16);
// Two status bytes: request C0 F1, value 0, index 0.
bool ReadStatusUsb(const DeviceRecord& device, std::uint8_t* out2);

// The one place that touches WinUSB: opens the record's winusbPath,
// initialises the interface, runs one synchronous control transfer, frees
// the interface and closes the path. True when the transfer itself went
// through; `transferred` tells how many bytes moved. Takes no lock.
bool UsbControlTransfer(const DeviceRecord& device, const platform::UsbSetupPacket& setup, std::uint8_t* buffer,
                        std::uint32_t length, std::uint32_t& transferred);

}  // namespace vx
